// A start without a display: the German message instead of Qt's abort, only where Qt needs one.
#include "core/anzeige.h"

#include <gtest/gtest.h>

namespace {

// Sets the display variables for one test and puts the old values back.
class Umgebung {
public:
    Umgebung(const char *plattform, const char *display, const char *wayland)
    {
        for (const char *n : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            m_alt.push_back({n, qgetenv(n), qEnvironmentVariableIsSet(n)});
        setzen("QT_QPA_PLATFORM", plattform);
        setzen("DISPLAY", display);
        setzen("WAYLAND_DISPLAY", wayland);
    }
    ~Umgebung()
    {
        for (const auto &a : m_alt)
            setzen(a.name, a.gesetzt ? a.wert.constData() : nullptr);
    }

private:
    static void setzen(const char *name, const char *wert)
    {
        if (wert)
            qputenv(name, wert);
        else
            qunsetenv(name);
    }
    struct Alt {
        const char *name;
        QByteArray wert;
        bool gesetzt;
    };
    std::vector<Alt> m_alt;
};

const QStringList programm{QStringLiteral("zandrel")};

} // namespace

TEST(Anzeige, DesktopPlatformWithoutDisplayGetsTheGermanMessage)
{
    for (const char *p : {static_cast<const char *>(nullptr), "", "xcb", "wayland", "wayland-egl", "wayland;xcb"}) {
        Umgebung u(p, nullptr, "");
        const QString t = anzeige::fehlt(programm);
        EXPECT_TRUE(t.contains(QStringLiteral("keine grafische Oberfläche"))) << (p ? p : "(unset)");
        EXPECT_TRUE(t.contains(QStringLiteral("Desktop-Sitzung")));
    }
}

TEST(Anzeige, AnyDisplayVariableIsEnough)
{
    {
        Umgebung u("xcb", ":0", nullptr);
        EXPECT_TRUE(anzeige::fehlt(programm).isEmpty());
    }
    {
        Umgebung u("wayland", nullptr, "wayland-0");
        EXPECT_TRUE(anzeige::fehlt(programm).isEmpty());
    }
}

TEST(Anzeige, PlatformsWithoutDisplayStartAsBefore)
{
    for (const char *p : {"offscreen", "minimal", "vnc:size=800x600", "xcb;offscreen"}) {
        Umgebung u(p, nullptr, nullptr);
        EXPECT_TRUE(anzeige::fehlt(programm).isEmpty()) << p;
    }
}

TEST(Anzeige, CommandLinePlatformWinsOverTheEnvironment)
{
    Umgebung u("xcb", nullptr, nullptr);
    EXPECT_TRUE(anzeige::fehlt({"zandrel", "-platform", "offscreen"}).isEmpty());
    EXPECT_TRUE(anzeige::fehlt({"zandrel", "--platform=offscreen"}).isEmpty());
    Umgebung v("offscreen", nullptr, nullptr);
    EXPECT_FALSE(anzeige::fehlt({"zandrel", "-platform", "xcb"}).isEmpty());
    // A copy of the grade manager's database named on the command line is no platform.
    EXPECT_TRUE(anzeige::fehlt({"zandrel", "/srv/nm/kopie.mdb"}).isEmpty());
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
