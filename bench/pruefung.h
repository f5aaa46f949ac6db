#pragma once
// What every figure reports and the aims "zandrel-bench --check" holds it to, apart from the
// windows and schools of the figures, so that the verdicts have a test of their own.
#include <QString>
#include <functional>
#include <vector>

namespace bench {

// The figure now running: its name leads every line printed.
void setFigur(const char *name);
// Prints one figure: "<bench>: <what> = <value> <unit>".
void report(const QString &what, double value, const QString &unit);
// Milliseconds spent in fn.
double timeMs(const std::function<void()> &fn);

// A view and its bare read run in turn (view, bare, view, bare ...): the medians of both and the median
// of the pairs' ratios, which stays meaningful while other work on the machine changes its speed. A bare
// read too quick to be timed makes its pair's ratio endless, never a pass.
struct Paar {
    double ms = 0, bareMs = 0, verhaeltnis = 0;
};
Paar paarweise(const std::function<void()> &ansicht, const std::function<void()> &bare, int runs = 5);

// Aims that "zandrel-bench --check" enforces; each prints its verdict beside the figure.
// value must stay below limit:
void aimBelow(const QString &what, double value, double limit);
// value must stay within maxRatio times base (e.g. the bare read, or the 1x figure):
void aimRatio(const QString &what, double value, double base, double maxRatio);
// the same for a pair measured in turn, on the median of its ratios:
void aimRatio(const QString &what, const Paar &p, double maxRatio);

// The aims missed so far, one line each.
const std::vector<QString> &verfehlt();
// Prints the missed aims; the exit code: 1 with check when an aim was missed, else 0.
int auswerten(bool check);
// Forgets the missed aims (for the bench's own test).
void vergessen();

} // namespace bench
