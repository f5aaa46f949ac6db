#pragma once
// Program start: registry values, holiday file, command-line copy, own database and its upgrade,
// the modal login, the person cache and the settings row.
#include <QApplication>
#include <QStringList>

namespace start {

// Application set-up before any window: names of the settings store, the program's icon for
// every window, the dialog font, and Qt's German texts for its own dialogs and menus, whatever
// the system language is.
void einrichten(QApplication &app);

// The command line as the copy of the grade manager's database: the whole parameter text,
// every double and single quote removed, trimmed.
QString parameterPfad(const QStringList &argumente);

// What the start-up messages add when the grade manager's folder is not registered: the key,
// the settings files looked in and the folder searched instead; "" when it is registered.
QString fehlendeRegistrierung();

// Steps before the login (args without the program name). Shows the German message and
// returns false when the program has to end.
bool vorbereiten(const QStringList &argumente);
// Steps after a successful login at start-up.
void nachAnmeldung();

// The whole run: main window, start-up, login, event loop. Returns the exit code.
int runZandrel(QApplication &app);

} // namespace start

// Handlers that throw without their own handling end in guard::behandeln.
class ZandrelApplication : public QApplication {
public:
    ZandrelApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
