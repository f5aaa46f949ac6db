#include "core/windowregistry.h"

#include <QHash>

namespace windows {

static QHash<QString, Factory> &factories()
{
    static QHash<QString, Factory> f;
    return f;
}
static QHash<QString, Action> &actions()
{
    static QHash<QString, Action> a;
    return a;
}

void registerWindow(const QString &name, Factory f) { factories().insert(name, std::move(f)); }
void registerAction(const QString &name, Action a) { actions().insert(name, std::move(a)); }
bool hasWindow(const QString &name) { return factories().contains(name); }
bool hasAction(const QString &name) { return actions().contains(name); }
Factory factory(const QString &name) { return factories().value(name); }

Registrations registrations() { return {factories(), actions()}; }

void restoreRegistrations(const Registrations &r)
{
    factories() = r.windows;
    actions() = r.actions;
}

bool runAction(const QString &name)
{
    auto it = actions().find(name);
    if (it == actions().end())
        return false;
    it.value()();
    return true;
}

} // namespace windows
