#include "bench/pruefung.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <limits>

namespace bench {

namespace {

const char *s_figur = "";

std::vector<QString> &fehlschlaege()
{
    static std::vector<QString> m;
    return m;
}

void verfehlen(const QString &zeile) { fehlschlaege().push_back(QString::fromUtf8(s_figur) + QStringLiteral(": ") + zeile); }

} // namespace

void setFigur(const char *name) { s_figur = name; }

void report(const QString &what, double value, const QString &unit)
{
    std::printf("%s: %s = %.2f %s\n", s_figur, qPrintable(what), value, qPrintable(unit));
    std::fflush(stdout);
}

double timeMs(const std::function<void()> &fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return double(t.nsecsElapsed()) / 1e6;
}

Paar paarweise(const std::function<void()> &ansicht, const std::function<void()> &bare, int runs)
{
    ansicht();
    bare();
    std::vector<double> a, b, q;
    for (int i = 0; i < std::max(1, runs); ++i) {
        a.push_back(timeMs(ansicht));
        b.push_back(timeMs(bare));
        q.push_back(b.back() > 0 ? a.back() / b.back() : std::numeric_limits<double>::infinity());
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    return {median(a), median(b), median(q)};
}

// A value that is no number (a figure that never ran) misses every aim.
void aimBelow(const QString &what, double value, double limit)
{
    const bool ok = value < limit;
    std::printf("%s: aim %s < %.0f: %.2f %s\n", s_figur, qPrintable(what), limit, value, ok ? "ok" : "MISSED");
    std::fflush(stdout);
    if (!ok)
        verfehlen(QStringLiteral("%1 = %2, aim < %3").arg(what).arg(value, 0, 'f', 2).arg(limit));
}

void aimRatio(const QString &what, double value, double base, double maxRatio)
{
    const double ratio = base > 0 ? value / base : std::numeric_limits<double>::infinity();
    const bool ok = base > 0 && ratio <= maxRatio;
    std::printf("%s: aim %s <= %.1fx: %.2f / %.2f = %.2fx %s\n", s_figur, qPrintable(what), maxRatio, value, base,
                ratio, ok ? "ok" : "MISSED");
    std::fflush(stdout);
    if (!ok)
        verfehlen(QStringLiteral("%1 = %2x, aim <= %3x").arg(what).arg(ratio, 0, 'f', 2).arg(maxRatio));
}

void aimRatio(const QString &what, const Paar &p, double maxRatio)
{
    const bool ok = p.bareMs > 0 && p.verhaeltnis <= maxRatio;
    std::printf("%s: aim %s <= %.1fx: median of paired ratios %.2fx (medians %.2f / %.2f) %s\n", s_figur,
                qPrintable(what), maxRatio, p.verhaeltnis, p.ms, p.bareMs, ok ? "ok" : "MISSED");
    std::fflush(stdout);
    if (!ok)
        verfehlen(QStringLiteral("%1 = %2x, aim <= %3x").arg(what).arg(p.verhaeltnis, 0, 'f', 2).arg(maxRatio));
}

const std::vector<QString> &verfehlt() { return fehlschlaege(); }

int auswerten(bool check)
{
    const auto &m = fehlschlaege();
    if (!m.empty()) {
        std::printf("\n%d aim(s) missed:\n", int(m.size()));
        for (const QString &s : m)
            std::printf("  %s\n", qPrintable(s));
    }
    return check && !m.empty() ? 1 : 0;
}

void vergessen() { fehlschlaege().clear(); }

} // namespace bench
