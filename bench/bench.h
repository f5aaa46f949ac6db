#pragma once
// Tiny benchmark registry: each area adds its figures with ZBENCH(name) { ... }.
// Run all:  zandrel-bench        Run some:  zandrel-bench <name-substring>      zandrel-bench --help
#include "bench/pruefung.h"
#include "tools/demo/demoschool.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QSize>
#include <QString>
#include <cstdio>
#include <functional>
#include <vector>

class QWidget;
class VSGrid;

namespace bench {

struct Entry {
    const char *name;
    std::function<void()> fn;
};
std::vector<Entry> &entries();
struct Registrar {
    Registrar(const char *name, std::function<void()> fn) { entries().push_back({name, std::move(fn)}); }
};
// Peak resident memory of the process in MiB.
double peakMemoryMiB();
// A scratch folder that lives until the program ends.
QString scratchDir();

// The demo school at a size, generated once per run into the scratch folder and shared by every
// figure: 1 is the demo's defaults, 20 is 16,000 pupils, 1,400 teachers, 600 classes, 100,000
// absences and 8,000 exam entries. A figure that changes the files regenerates with fresh = true.
const demo::Result &school(int factor, bool fresh = false);
// In a child run of the memory figure: the school its parent generated, when there is one.
bool gespeicherteSchule(int factor, demo::Result &out);
// Median milliseconds of `runs` calls of fn (after one warm-up call when warmUp is set).
double medianMs(const std::function<void()> &fn, int runs = 5, bool warmUp = true);

// What a user waits for. The bench runs with the program's own start-up set-up (font, German texts).
// Shows the window at the size and waits until it is on screen and painted.
void zeigen(QWidget &fenster, QSize groesse = QSize(1400, 900));
// Runs the action, then lets the pending events through until the window of w has painted what
// changed.
void bisGemalt(QWidget *w, const std::function<void()> &aktion);
// A left mouse click at pos (default: the middle) on w, through to the finished repaint.
void klicken(QWidget *w, QPoint pos = QPoint(-1, -1));
// A left mouse click on a grid cell, scrolled into view beforehand, through to the finished repaint.
void klicken(VSGrid *g, int r, int c);

// A view's statement without its closing ORDER BY: the bare side reads the rows, not the view's order.
QString ohneSortierung(const QString &sql);

} // namespace bench

#define ZBENCH_CAT2(a, b) a##b
#define ZBENCH_CAT(a, b) ZBENCH_CAT2(a, b)
#define ZBENCH(name)                                                                     \
    static void ZBENCH_CAT(bench_fn_, __LINE__)();                                       \
    static bench::Registrar ZBENCH_CAT(bench_reg_, __LINE__)(name, ZBENCH_CAT(bench_fn_, __LINE__)); \
    static void ZBENCH_CAT(bench_fn_, __LINE__)()
