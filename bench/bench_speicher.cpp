// Memory, each figure in a process of its own: the bench runs itself again as a child for every
// figure that reports memory and reads the child's peak resident memory when it has ended, so that
// no figure carries what an earlier one left behind. The children use the schools generated here
// (a generator's own peak is not the window's). Beside them the lists window with the whole grade
// table at 20x and 39x, the same window without a result, and the 39x list saved as a workbook
// (with the time of the save), each in a child of its own.
#include "bench/bench.h"

#include "core/mdl_zandrel.h"
#include "platform/msg.h"
#include "records/frm_listen.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

// Found by the stream operators of the lists that hold them.
namespace demo {
QDataStream &operator<<(QDataStream &s, const demo::DemoUser &u)
{
    return s << u.kuerzel << u.password << u.storedAs << u.role;
}
QDataStream &operator>>(QDataStream &s, demo::DemoUser &u)
{
    return s >> u.kuerzel >> u.password >> u.storedAs >> u.role;
}
QDataStream &operator<<(QDataStream &s, const demo::PlantedDifference &d)
{
    return s << d.kind << d.column << d.schuelerNr << d.winsvId << d.nmValue << d.winsvValue;
}
QDataStream &operator>>(QDataStream &s, demo::PlantedDifference &d)
{
    return s >> d.kind >> d.column >> d.schuelerNr >> d.winsvId >> d.nmValue >> d.winsvValue;
}
} // namespace demo

namespace {

// Set in a child: the parent's folder with the saved schools, and what the child runs.
constexpr const char *VorratVariable = "ZANDREL_BENCH_SCHULEN";
constexpr const char *AuftragVariable = "ZANDREL_BENCH_SPEICHER";
// Set in a child: the file the child writes its peak into when it ends. The child's own count is
// the one to trust: a child started from this process begins with this process's memory, and
// the count the system keeps for it after it has ended starts from there.
constexpr const char *SpitzeVariable = "ZANDREL_BENCH_SPITZE";

void spitzeAmEnde()
{
    QFile f(QString::fromLocal8Bit(qgetenv(SpitzeVariable)));
    if (f.open(QIODevice::WriteOnly))
        f.write(QByteArray::number(bench::peakMemoryMiB(), 'f', 2));
}

const bool s_spitzeMelden = [] {
    if (!qEnvironmentVariableIsEmpty(SpitzeVariable))
        std::atexit(spitzeAmEnde);
    return true;
}();

QString vorratDatei(const QString &ordner, int faktor)
{
    return QDir(ordner).filePath(QStringLiteral("schule-%1x.ergebnis").arg(faktor));
}

QString dauerDatei(const QString &ordner) { return QDir(ordner).filePath(QStringLiteral("dauer")); }

template <typename S, typename R> S &felder(S &s, R &r)
{
    s &r.nmFile &r.ownFile &r.winsvFile &r.holidayFile &r.iniFile &r.programFolder &r.today &r.schoolYearStart
        &r.firstSchoolDay &r.pupils &r.teachers &r.classes &r.courses &r.grades &r.tests &r.absences &r.entries
        &r.users &r.differences;
    return s;
}
struct Schreiber {
    QDataStream &s;
    template <typename T> Schreiber &operator&(const T &v)
    {
        s << v;
        return *this;
    }
};
struct Leser {
    QDataStream &s;
    template <typename T> Leser &operator&(T &v)
    {
        s >> v;
        return *this;
    }
};

void schuleSpeichern(int faktor)
{
    QFile f(vorratDatei(bench::scratchDir(), faktor));
    if (!f.open(QIODevice::WriteOnly))
        return;
    QDataStream s(&f);
    Schreiber w{s};
    felder(w, bench::school(faktor));
}

// Runs this program again with the figure's name and the task in the environment; its output is
// dropped. The child's peak resident memory in MiB, or -1 when it failed.
double kindSpitze(const char *figur, const QByteArray &auftrag)
{
    const QByteArray programm = QCoreApplication::applicationFilePath().toLocal8Bit();
    std::vector<QByteArray> umgebung;
    for (char **e = environ; *e; ++e)
        if (!QByteArray(*e).startsWith(VorratVariable) && !QByteArray(*e).startsWith(AuftragVariable) &&
            !QByteArray(*e).startsWith(SpitzeVariable))
            umgebung.emplace_back(*e);
    const QString spitzeDatei = QDir(bench::scratchDir()).filePath(QStringLiteral("spitze"));
    QFile::remove(spitzeDatei);
    umgebung.push_back(QByteArray(VorratVariable) + '=' + bench::scratchDir().toLocal8Bit());
    umgebung.push_back(QByteArray(SpitzeVariable) + '=' + spitzeDatei.toLocal8Bit());
    if (!auftrag.isEmpty())
        umgebung.push_back(QByteArray(AuftragVariable) + '=' + auftrag);
    std::vector<char *> envp;
    for (QByteArray &e : umgebung)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    QByteArray name(figur);
    char *argv[] = {const_cast<char *>(programm.constData()), name.data(), nullptr};

    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_addopen(&aktionen, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, programm.constData(), &aktionen, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&aktionen);
    if (rc != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    QFile f(spitzeDatei);
    bool ok = false;
    const double spitze = f.open(QIODevice::ReadOnly) ? f.readAll().toDouble(&ok) : 0;
    return ok ? spitze : -1;
}

// In a child: the lists window at a size of school, with the whole grade table listed or not.
void listeImKind(const QByteArray &auftrag)
{
    const QList<QByteArray> teile = auftrag.split(':');
    const int faktor = teile.value(1).toInt();
    mdl::Benutzer = QStringLiteral("X");
    msg::setHandler([](const msg::Request &) { return int(msg::OK); });
    mdl::NMDateiParameter = bench::school(faktor).nmFile;
    frm_Listen w;
    bench::zeigen(w);
    if (teile.value(2) != "leer") {
        w.rtfSQL->setPlainText(QStringLiteral("SELECT * FROM Noten;"));
        bench::klicken(w.cmd_SQL_ausfuehren);
    }
    if (teile.value(2) == "excel") {
        w.speichernDialog = [](const QString &, const QString &, const QString &) {
            return QDir(bench::scratchDir()).filePath(QStringLiteral("Liste.xlsx"));
        };
        // The time of the save beside the peak, in the parent's folder.
        const double ms = bench::timeMs([&] { bench::klicken(w.cmdSaveExcel); });
        QFile f(dauerDatei(QString::fromLocal8Bit(qgetenv(VorratVariable))));
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray::number(ms, 'f', 1));
    }
    mdl::NMDatenbankZuruecksetzen();
    msg::clearHandler();
}

} // namespace

namespace bench {

bool gespeicherteSchule(int factor, demo::Result &out)
{
    const QByteArray ordner = qgetenv(VorratVariable);
    if (ordner.isEmpty())
        return false;
    QFile f(vorratDatei(QString::fromLocal8Bit(ordner), factor));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QDataStream s(&f);
    demo::Result r;
    Leser l{s};
    felder(l, r);
    if (s.status() != QDataStream::Ok)
        return false;
    out = r;
    return true;
}

} // namespace bench

ZBENCH("memory")
{
    const QByteArray auftrag = qgetenv(AuftragVariable);
    if (auftrag.startsWith("liste:")) {
        listeImKind(auftrag);
        return;
    }
    for (const int faktor : {1, 20, 39})
        schuleSpeichern(faktor);

    const QString noten = QLocale(QLocale::English).toString(bench::school(39).grades);
    const double leer = kindSpitze("memory", "liste:39:leer");
    bench::report(QStringLiteral("lists window without a result at 39x, peak of its own process"), leer,
                  QStringLiteral("MiB"));
    for (const int faktor : {20, 39}) {
        const double spitze = kindSpitze("memory", QByteArray("liste:") + QByteArray::number(faktor) + ":alle");
        const QString was = QStringLiteral("lists window, whole grade table listed at %1x (%2 rows), peak of its own process")
                                .arg(faktor)
                                .arg(faktor == 39 ? noten
                                                  : QLocale(QLocale::English).toString(bench::school(faktor).grades));
        bench::report(was, spitze, QStringLiteral("MiB"));
        if (faktor == 39)
            bench::aimBelow(was, spitze < 0 ? 1e9 : spitze, 200);
    }
    // Saving that list as a workbook: the cells go from the grid to the file row by row.
    QFile::remove(dauerDatei(bench::scratchDir()));
    const double excel = kindSpitze("memory", "liste:39:excel");
    const QString gespeichert =
        QStringLiteral("lists window, whole grade table at 39x saved as a workbook, peak of its own process");
    bench::report(gespeichert, excel, QStringLiteral("MiB"));
    bench::aimBelow(gespeichert, excel < 0 ? 1e9 : excel, 200);
    QFile dauer(dauerDatei(bench::scratchDir()));
    if (dauer.open(QIODevice::ReadOnly))
        bench::report(QStringLiteral("lists window, whole grade table at 39x saved as a workbook (click on \"als "
                                     "Excel-Tabelle speichern\" to the message)"),
                      dauer.readAll().toDouble(), QStringLiteral("ms"));
    // Every figure that reports its memory, run alone.
    for (const char *figur : {"absence", "excel-calendar", "excel-lnw", "grid", "listen", "records", "winsv"}) {
        const auto &e = bench::entries();
        if (std::none_of(e.begin(), e.end(), [&](const bench::Entry &x) { return std::strcmp(x.name, figur) == 0; }))
            continue;
        bench::report(QStringLiteral("%1 alone, peak of its own process").arg(QLatin1String(figur)),
                      kindSpitze(figur, QByteArray()), QStringLiteral("MiB"));
    }
}
