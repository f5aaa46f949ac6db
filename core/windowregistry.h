#pragma once
// Feature windows and menu actions are registered by their areas at program start,
// so the main window opens them by name without knowing their classes.
#include <QHash>
#include <QString>
#include <functional>

class QWidget;

namespace windows {

using Factory = std::function<QWidget *(QWidget *parent)>;
using Action = std::function<void()>;

void registerWindow(const QString &name, Factory factory);
void registerAction(const QString &name, Action action);
bool hasWindow(const QString &name);
bool hasAction(const QString &name);
Factory factory(const QString &name);
// Runs a registered action; false when none is registered.
bool runAction(const QString &name);

// Every registration, so that a test can put the registry back as it found it.
struct Registrations {
    QHash<QString, Factory> windows;
    QHash<QString, Action> actions;
};
Registrations registrations();
void restoreRegistrations(const Registrations &r);

} // namespace windows
