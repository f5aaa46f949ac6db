#pragma once
// Tiny benchmark registry: each area adds its figures with ZBENCH(name) { ... }.
// Run all:  zandrel-bench        Run some:  zandrel-bench <name-substring>
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

} // namespace bench

#define ZBENCH_CAT2(a, b) a##b
#define ZBENCH_CAT(a, b) ZBENCH_CAT2(a, b)
#define ZBENCH(name)                                                                     \
    static void ZBENCH_CAT(bench_fn_, __LINE__)();                                       \
    static bench::Registrar ZBENCH_CAT(bench_reg_, __LINE__)(name, ZBENCH_CAT(bench_fn_, __LINE__)); \
    static void ZBENCH_CAT(bench_fn_, __LINE__)()
