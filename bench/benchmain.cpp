#include "bench/bench.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

namespace bench {

std::vector<Entry> &entries()
{
    static std::vector<Entry> e;
    return e;
}

const char *s_current = "";

void report(const QString &what, double value, const QString &unit)
{
    std::printf("%s: %s = %.2f %s\n", s_current, qPrintable(what), value, qPrintable(unit));
    std::fflush(stdout);
}

double timeMs(const std::function<void()> &fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return double(t.nsecsElapsed()) / 1e6;
}

double peakMemoryMiB()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

QString scratchDir()
{
    static QTemporaryDir dir;
    return dir.path();
}

} // namespace bench

namespace bench { extern const char *s_current; }

int main(int argc, char **argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ZANDREL_NO_OPEN", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zandrel");
    QApplication::setOrganizationName("Zandrel");
    const char *filter = argc > 1 ? argv[1] : nullptr;
    for (const auto &e : bench::entries()) {
        if (filter && !std::strstr(e.name, filter))
            continue;
        bench::s_current = e.name;
        e.fn();
    }
    return 0;
}
