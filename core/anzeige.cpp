#include "core/anzeige.h"

#include <cstdio>
#include <cstdlib>

namespace anzeige {

namespace {

// The platform Qt will take: "-platform name" on the command line, else QT_QPA_PLATFORM;
// "" is the build's default (a desktop platform on Linux).
QString plattform(const QStringList &args)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if ((a == QLatin1String("-platform") || a == QLatin1String("--platform")) && i + 1 < args.size())
            return args[i + 1];
        for (const char *vorsatz : {"-platform=", "--platform="})
            if (a.startsWith(QLatin1String(vorsatz)))
                return a.mid(int(qstrlen(vorsatz)));
    }
    return qEnvironmentVariable("QT_QPA_PLATFORM");
}

// xcb and wayland (with their options after ':') need a display; offscreen, minimal, vnc,
// eglfs, linuxfb and the like do not.
bool brauchtDisplay(const QString &name)
{
    const QString n = name.section(QLatin1Char(':'), 0, 0).trimmed().toLower();
    return n.isEmpty() || n == QLatin1String("xcb") || n.startsWith(QLatin1String("wayland"));
}

} // namespace

QString fehlt(const QStringList &args)
{
    // A list ("wayland;xcb") is tried in order: one platform without a display need is enough.
    const QStringList liste = plattform(args).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    bool brauchen = true;
    for (const QString &p : liste)
        brauchen = brauchen && brauchtDisplay(p);
    if (!brauchen)
        return {};
    if (!qEnvironmentVariable("DISPLAY").isEmpty() || !qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty())
        return {};
    return QStringLiteral("Zandrel kann nicht starten: Es ist keine grafische Oberfläche erreichbar "
                          "(die Umgebungsvariablen DISPLAY und WAYLAND_DISPLAY sind leer).\n"
                          "Bitte starten Sie Zandrel in einer Desktop-Sitzung (X11 oder Wayland), "
                          "zum Beispiel über das Startmenü oder ein Terminal des Desktops.");
}

QString nichtErreichbar()
{
    return QStringLiteral("Zandrel kann nicht starten: Die grafische Oberfläche ist nicht erreichbar "
                          "(DISPLAY=\"%1\", WAYLAND_DISPLAY=\"%2\").\n"
                          "Bitte starten Sie Zandrel in einer Desktop-Sitzung (X11 oder Wayland), "
                          "zum Beispiel über das Startmenü oder ein Terminal des Desktops.")
        .arg(qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY"));
}

QString modulFehlt()
{
    return QStringLiteral("Zandrel kann nicht starten: Das Qt-Modul für die grafische Oberfläche kann nicht geladen "
                          "werden (die Meldung darüber nennt es).\n"
                          "Bitte prüfen Sie die Umgebungsvariable QT_QPA_PLATFORM und die Option -platform; fehlt "
                          "dem Modul eine Bibliothek, installieren Sie die Pakete mit ./scripts/install-deps.sh.");
}

QString waylandFehlt()
{
    return QStringLiteral("Zandrel kann nicht starten: Die Desktop-Sitzung ist eine Wayland-Sitzung ohne X11 "
                          "(WAYLAND_DISPLAY=\"%1\", DISPLAY ist leer), und das Qt-Modul für Wayland ist nicht "
                          "installiert.\n"
                          "Bitte installieren Sie das Paket qt6-wayland (./scripts/install-deps.sh installiert es) und "
                          "starten Sie Zandrel erneut, bei Bedarf mit QT_QPA_PLATFORM=wayland.")
        .arg(qEnvironmentVariable("WAYLAND_DISPLAY"));
}

namespace {
QtMessageHandler s_vorher = nullptr;
// What Qt reported before its fatal end: a display it could not reach, a Wayland display it tried,
// or a platform module it could not find or load (Qt reports the module as well when the display
// is at fault).
bool s_anzeigeFehlt = false, s_modulFehlt = false, s_waylandVersucht = false;

// A Wayland session without X11 whose Wayland display Qt never tried: its Wayland module is missing.
bool ohneWaylandModul()
{
    const QString p = qEnvironmentVariable("QT_QPA_PLATFORM").trimmed().toLower();
    return !s_waylandVersucht && qEnvironmentVariable("DISPLAY").isEmpty()
           && !qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty()
           && (p.isEmpty() || p.startsWith(QLatin1String("wayland")) || p.startsWith(QLatin1String("xcb")));
}
} // namespace

void PlattformWaechter::meldung(QtMsgType type, const QMessageLogContext &kontext, const QString &text)
{
    if (type == QtFatalMsg) {
        const QString m = ohneWaylandModul()                ? waylandFehlt()
                          : s_modulFehlt && !s_anzeigeFehlt ? modulFehlt()
                                                            : nichtErreichbar();
        std::fprintf(stderr, "%s\n", m.toUtf8().constData());
        std::fflush(stderr);
        std::_Exit(2);
    }
    s_waylandVersucht = s_waylandVersucht || text.contains(QLatin1String("wl_display"));
    if (text.contains(QLatin1String("could not connect to display"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("wl_display")))
        s_anzeigeFehlt = true;
    else if (text.contains(QLatin1String("Qt platform plugin")))
        s_modulFehlt = true;
    if (s_vorher)
        s_vorher(type, kontext, text);
    else
        std::fprintf(stderr, "%s\n", qFormatLogMessage(type, kontext, text).toLocal8Bit().constData());
}

PlattformWaechter::PlattformWaechter()
{
    s_anzeigeFehlt = s_modulFehlt = s_waylandVersucht = false;
    s_vorher = qInstallMessageHandler(&PlattformWaechter::meldung);
}

PlattformWaechter::~PlattformWaechter()
{
    qInstallMessageHandler(s_vorher);
    s_vorher = nullptr;
}

} // namespace anzeige
