#pragma once
// Tiny benchmark registry: each area adds its figures with ZBENCH(name) { ... }.
// Run all:  zandrel-bench        Run some:  zandrel-bench <name-substring>
#include "tools/demo/demoschool.h"

#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

struct Entry {
    const char *name;
    std::function<void()> fn;
};
std::vector<Entry> &entries();
struct Registrar {
    Registrar(const char *name, std::function<void()> fn) { entries().push_back({name, std::move(fn)}); }
};
// Prints one figure: "<bench>: <what> = <value> <unit>".
void report(const QString &what, double value, const QString &unit);
// Milliseconds spent in fn.
double timeMs(const std::function<void()> &fn);
// Peak resident memory of the process in MiB.
double peakMemoryMiB();
// A scratch folder that lives until the program ends.
QString scratchDir();

// The demo school at a size, generated once per run into the scratch folder and shared by every
// figure: 1 is the demo's defaults, 20 is 16,000 pupils, 1,400 teachers, 600 classes, 100,000
// absences and 8,000 exam entries. A figure that changes the files regenerates with fresh = true.
const demo::Result &school(int factor, bool fresh = false);
// Median milliseconds of `runs` calls of fn (after one warm-up call when warmUp is set).
double medianMs(const std::function<void()> &fn, int runs = 5, bool warmUp = true);

// Aims that "zandrel-bench --check" enforces; each prints its verdict beside the figure.
// value must stay below limit:
void aimBelow(const QString &what, double value, double limit);
// value must stay within maxRatio times base (e.g. the bare read, or the 1x figure):
void aimRatio(const QString &what, double value, double base, double maxRatio);

} // namespace bench

#define ZBENCH_CAT2(a, b) a##b
#define ZBENCH_CAT(a, b) ZBENCH_CAT2(a, b)
#define ZBENCH(name)                                                                     \
    static void ZBENCH_CAT(bench_fn_, __LINE__)();                                       \
    static bench::Registrar ZBENCH_CAT(bench_reg_, __LINE__)(name, ZBENCH_CAT(bench_fn_, __LINE__)); \
    static void ZBENCH_CAT(bench_fn_, __LINE__)()
