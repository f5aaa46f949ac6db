// A start without a display: the German message instead of Qt's abort, only where Qt needs one.
#include "core/anzeige.h"

#include <gtest/gtest.h>

namespace {

// Sets the display variables for one test (nullptr: unset) and puts the old values back.
class Umgebung {
public:
    Umgebung(const char *plattform, const char *display, const char *wayland)
    {
        const char *werte[] = {plattform, display, wayland};
        for (int i = 0; i < 3; ++i) {
            m_alt[i] = {qgetenv(namen[i]), qEnvironmentVariableIsSet(namen[i])};
            setzen(namen[i], werte[i]);
        }
    }
    ~Umgebung()
    {
        for (int i = 0; i < 3; ++i)
            setzen(namen[i], m_alt[i].second ? m_alt[i].first.constData() : nullptr);
    }

private:
    static constexpr const char *namen[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    static void setzen(const char *name, const char *wert) { wert ? qputenv(name, wert) : qunsetenv(name); }
    std::pair<QByteArray, bool> m_alt[3];
};

const QStringList programm{QStringLiteral("zandrel")};

} // namespace

// Qt needs a display only for a desktop platform, taken from the command line before the environment.
TEST(Anzeige, GermanMessageOnlyWhereTheDesktopPlatformHasNoDisplay)
{
    const char *const weg = nullptr;
    const struct {
        const char *plattform, *display, *wayland;
        QStringList argumente;
        bool meldung;
    } faelle[] = {
        {weg, weg, "", programm, true}, {"", weg, "", programm, true}, {"xcb", weg, "", programm, true},
        {"wayland", weg, "", programm, true}, {"wayland-egl", weg, "", programm, true},
        {"wayland;xcb", weg, "", programm, true},
        // Any display variable is enough.
        {"xcb", ":0", weg, programm, false}, {"wayland", weg, "wayland-0", programm, false},
        // Platforms without a display start as before.
        {"offscreen", weg, weg, programm, false}, {"minimal", weg, weg, programm, false},
        {"vnc:size=800x600", weg, weg, programm, false}, {"xcb;offscreen", weg, weg, programm, false},
        {"xcb", weg, weg, {"zandrel", "-platform", "offscreen"}, false},
        {"xcb", weg, weg, {"zandrel", "--platform=offscreen"}, false},
        {"offscreen", weg, weg, {"zandrel", "-platform", "xcb"}, true},
        // A copy of the grade manager's database named on the command line is no platform.
        {"offscreen", weg, weg, {"zandrel", "/srv/nm/kopie.mdb"}, false},
    };
    for (const auto &f : faelle) {
        Umgebung u(f.plattform, f.display, f.wayland);
        const QString t = anzeige::fehlt(f.argumente);
        const QString was = QString("%1 %2").arg(f.plattform ? f.plattform : "(unset)", f.argumente.join(' '));
        EXPECT_EQ(!t.isEmpty(), f.meldung) << qPrintable(was);
        if (f.meldung && f.argumente == programm) {
            EXPECT_TRUE(t.contains(QStringLiteral("keine grafische Oberfläche"))) << qPrintable(was);
            EXPECT_TRUE(t.contains(QStringLiteral("Desktop-Sitzung"))) << qPrintable(was);
        }
    }
}

// A display variable that names no reachable display: Qt's fatal end of the platform becomes the
// German message naming the variables, with exit code 2; other messages pass as before.
TEST(Anzeige, UnreachableDisplayEndsWithTheGermanMessage)
{
    Umgebung u("xcb", ":99", nullptr);
    EXPECT_TRUE(anzeige::nichtErreichbar().contains(QStringLiteral("DISPLAY=\":99\"")));
    EXPECT_EXIT(
        {
            const anzeige::PlattformWaechter w;
            qWarning("eine Warnung geht weiter");
            qFatal("This application failed to start because no Qt platform plugin could be initialized.");
        },
        ::testing::ExitedWithCode(2),
        "eine Warnung geht weiter(.|\n)*Zandrel kann nicht starten: Die grafische Oberfl.*che ist nicht erreichbar "
        "\\(DISPLAY=\":99\"");
}

// Qt names the module before its fatal end: only when it names no display as well is the module
// itself at fault (a misspelt platform, a missing library), and the message says so.
TEST(Anzeige, AModuleThatCannotBeLoadedIsNotCalledAnUnreachableDisplay)
{
    Umgebung u("foo", ":0", nullptr);
    EXPECT_EXIT(
        {
            const anzeige::PlattformWaechter w;
            qWarning("Could not find the Qt platform plugin \"foo\" in \"\"");
            qFatal("This application failed to start because no Qt platform plugin could be initialized.");
        },
        ::testing::ExitedWithCode(2), "Zandrel kann nicht starten: Das Qt-Modul f.*r die grafische Oberfl.*che");
    EXPECT_EXIT(
        {
            const anzeige::PlattformWaechter w;
            qWarning("could not connect to display :0");
            qWarning("Could not load the Qt platform plugin \"xcb\" in \"\" even though it was found.");
            qFatal("This application failed to start because no Qt platform plugin could be initialized.");
        },
        ::testing::ExitedWithCode(2), "Die grafische Oberfl.*che ist nicht erreichbar \\(DISPLAY=\":0\"");
}

// A Wayland session without X11 whose Wayland module is missing: Qt falls back to X11 and finds no
// display; the message says what to install and set instead of blaming the display.
TEST(Anzeige, WaylandSessionWithoutItsModuleSaysWhatToInstall)
{
    Umgebung u(nullptr, nullptr, "wayland-0");
    EXPECT_EXIT(
        {
            const anzeige::PlattformWaechter w;
            qWarning("qt.qpa.xcb: could not connect to display");
            qWarning("Could not load the Qt platform plugin \"xcb\" in \"\" even though it was found.");
            qFatal("This application failed to start because no Qt platform plugin could be initialized.");
        },
        ::testing::ExitedWithCode(2),
        "Wayland-Sitzung ohne X11 \\(WAYLAND_DISPLAY=\"wayland-0\", DISPLAY ist leer\\)(.|\n)*qt6-wayland(.|\n)*"
        "QT_QPA_PLATFORM=wayland");
    // The Wayland module was there and could not reach its display: that display is at fault.
    EXPECT_EXIT(
        {
            const anzeige::PlattformWaechter w;
            qWarning("Failed to create wl_display (No such file or directory)");
            qFatal("This application failed to start because no Qt platform plugin could be initialized.");
        },
        ::testing::ExitedWithCode(2), "Die grafische Oberfl.*che ist nicht erreichbar");
}
