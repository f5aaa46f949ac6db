#include "bench/bench.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <map>

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

const demo::Result &school(int factor, bool fresh)
{
    static std::map<int, demo::Result> made;
    auto it = made.find(factor);
    if (it != made.end() && !fresh)
        return it->second;
    demo::Options o;
    o.out = QDir(scratchDir()).filePath(QStringLiteral("schule-%1x").arg(factor));
    if (factor != 1) {
        o.pupils = 800 * factor;
        o.teachers = 70 * factor;
        o.classes = 30 * factor;
        o.absences = 5000 * factor;
        o.entries = 400 * factor;
    }
    made[factor] = demo::generate(o);
    return made[factor];
}

double medianMs(const std::function<void()> &fn, int runs, bool warmUp)
{
    if (warmUp)
        fn();
    std::vector<double> t;
    for (int i = 0; i < std::max(1, runs); ++i)
        t.push_back(timeMs(fn));
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

std::vector<QString> &misses()
{
    static std::vector<QString> m;
    return m;
}

void aimBelow(const QString &what, double value, double limit)
{
    const bool ok = value < limit;
    std::printf("%s: aim %s < %.0f: %.2f %s\n", s_current, qPrintable(what), limit, value, ok ? "ok" : "MISSED");
    std::fflush(stdout);
    if (!ok)
        misses().push_back(QStringLiteral("%1: %2 = %3, aim < %4").arg(QString::fromUtf8(s_current), what)
                               .arg(value, 0, 'f', 2).arg(limit));
}

void aimRatio(const QString &what, double value, double base, double maxRatio)
{
    const double ratio = base > 0 ? value / base : 0;
    const bool ok = base > 0 && ratio <= maxRatio;
    std::printf("%s: aim %s <= %.1fx: %.2f / %.2f = %.2fx %s\n", s_current, qPrintable(what), maxRatio, value, base,
                ratio, ok ? "ok" : "MISSED");
    std::fflush(stdout);
    if (!ok)
        misses().push_back(QStringLiteral("%1: %2 = %3x, aim <= %4x").arg(QString::fromUtf8(s_current), what)
                               .arg(ratio, 0, 'f', 2).arg(maxRatio));
}

} // namespace bench

namespace bench {
extern const char *s_current;
std::vector<QString> &misses();
}

int main(int argc, char **argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ZANDREL_NO_OPEN", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zandrel");
    QApplication::setOrganizationName("Zandrel");
    const char *filter = nullptr;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0)
            check = true;
        else
            filter = argv[i];
    }
    for (const auto &e : bench::entries()) {
        if (filter && !std::strstr(e.name, filter))
            continue;
        bench::s_current = e.name;
        e.fn();
    }
    const auto &m = bench::misses();
    if (!m.empty()) {
        std::printf("\n%d aim(s) missed:\n", int(m.size()));
        for (const QString &s : m)
            std::printf("  %s\n", qPrintable(s));
    }
    return check && !m.empty() ? 1 : 0;
}
