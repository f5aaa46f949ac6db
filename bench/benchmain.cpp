#include "bench/bench.h"
#include "core/startup.h"
#include "platform/grid/vsgrid.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <map>

namespace bench {

std::vector<Entry> &entries()
{
    static std::vector<Entry> e;
    return e;
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
    if (demo::Result gespeichert; !fresh && gespeicherteSchule(factor, gespeichert))
        return made[factor] = gespeichert;
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

namespace {

// Notes a paint event of any widget of one window.
class Maler : public QObject {
public:
    explicit Maler(QWidget *fenster) : m_fenster(fenster) { qApp->installEventFilter(this); }
    ~Maler() override { qApp->removeEventFilter(this); }
    bool gemalt = false;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->isWidgetType() && static_cast<QWidget *>(o)->window() == m_fenster)
            gemalt = true;
        return false;
    }

private:
    QWidget *m_fenster;
};

} // namespace

void bisGemalt(QWidget *w, const std::function<void()> &aktion)
{
    Maler maler(w->window());
    aktion();
    // The repaint is a posted event: one pass paints it, a second one what a zero timer posted. An
    // action that changes nothing on screen (a file written) ends after those passes.
    for (int i = 0; i < 3 && (i == 0 || !maler.gemalt); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void zeigen(QWidget &fenster, QSize groesse)
{
    fenster.resize(groesse);
    bisGemalt(&fenster, [&] { fenster.show(); });
    if (!QTest::qWaitForWindowExposed(&fenster))
        std::printf("window not exposed: %s\n", fenster.metaObject()->className());
}

void klicken(QWidget *w, QPoint pos)
{
    if (pos == QPoint(-1, -1))
        pos = w->rect().center();
    bisGemalt(w, [&] { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, pos); });
}

void klicken(VSGrid *g, int r, int c)
{
    if (g->cellRect(r, c).isEmpty()) {
        if (r >= g->fixedRows())
            g->setTopRow(r);
        if (c >= g->fixedCols())
            g->setLeftCol(c);
        QCoreApplication::processEvents();
    }
    const QRect rect = g->cellRect(r, c);
    if (rect.isEmpty())
        std::printf("cell %d,%d not on screen\n", r, c);
    klicken(g->viewport(), rect.center() - g->viewport()->geometry().topLeft());
}

QString ohneSortierung(const QString &sql)
{
    const qsizetype i = sql.lastIndexOf(QStringLiteral("ORDER BY"));
    return i < 0 ? sql : sql.left(i);
}

} // namespace bench

namespace {

void hilfe()
{
    std::printf("zandrel-bench [--check] [FIGURE ...]\n\n"
                "Times what a user waits for on the demo school at 1x and 20x: the windows shown, in the\n"
                "program's own font and texts, from the click to the finished repaint, each beside the\n"
                "bare read of the same rows.\n\n"
                "  FIGURE   run only the figures whose name contains the word (several words: any of them)\n"
                "  --check  exit code 1 when an aim is missed\n"
                "  --help   this text\n\nFigures:\n");
    for (const auto &e : bench::entries())
        std::printf("  %s\n", e.name);
}

} // namespace

int main(int argc, char **argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty() && qgetenv("DISPLAY").isEmpty() && qgetenv("WAYLAND_DISPLAY").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ZANDREL_NO_OPEN", "1");
    ZandrelApplication app(argc, argv);
    start::einrichten(app); // the font and texts the program starts with
    std::vector<const char *> woerter;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0) {
            check = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            hilfe();
            return 0;
        } else if (argv[i][0] == '-') {
            std::fprintf(stderr, "zandrel-bench: unknown option %s (see --help)\n", argv[i]);
            return 2;
        } else {
            woerter.push_back(argv[i]);
        }
    }
    auto gewaehlt = [&](const char *name, const char *wort) { return std::strstr(name, wort) != nullptr; };
    for (const char *wort : woerter) {
        const auto &e = bench::entries();
        if (std::none_of(e.begin(), e.end(), [&](const bench::Entry &x) { return gewaehlt(x.name, wort); })) {
            std::fprintf(stderr, "zandrel-bench: no figure is named like \"%s\" (see --help)\n", wort);
            return 2;
        }
    }
    for (const auto &e : bench::entries()) {
        if (!woerter.empty() &&
            std::none_of(woerter.begin(), woerter.end(), [&](const char *w) { return gewaehlt(e.name, w); }))
            continue;
        bench::setFigur(e.name);
        e.fn();
    }
    return bench::auswerten(check);
}
