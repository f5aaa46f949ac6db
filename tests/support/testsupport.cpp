#include "support/testsupport.h"

#include <QDir>
#include <QWidget>
#include <QProcess>
#include <QFile>
#include <QXmlStreamReader>

#include <atomic>
#include <csignal>
#include <sqlite3.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

Sandbox::Sandbox()
{
    m_oldHome = qgetenv("XDG_CONFIG_HOME");
    m_oldDirs = qgetenv("XDG_CONFIG_DIRS");
    m_oldTmp = qgetenv("TMPDIR");
    QDir(m_dir.path()).mkpath("config");
    QDir(m_dir.path()).mkpath("xdg");
    QDir(m_dir.path()).mkpath("tmp");
    qputenv("XDG_CONFIG_HOME", file("config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", file("xdg").toUtf8());
    qputenv("TMPDIR", file("tmp").toUtf8());
}

Sandbox::~Sandbox()
{
    qputenv("XDG_CONFIG_HOME", m_oldHome);
    qputenv("XDG_CONFIG_DIRS", m_oldDirs);
    qputenv("TMPDIR", m_oldTmp);
}

QString Sandbox::file(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

MsgRecorder::MsgRecorder(std::function<int(const msg::Request &)> answer) : m_answer(std::move(answer))
{
    msg::setHandler([this](const msg::Request &r) {
        boxes << r;
        if (m_answer)
            return m_answer(r);
        int b = r.buttons & 0x7;
        bool second = (r.buttons & 0xF00) == msg::DefaultButton2;
        switch (b) {
        case msg::OKCancel: return second ? int(msg::Cancel) : int(msg::OK);
        case msg::YesNo:
        case msg::YesNoCancel: return second ? int(msg::No) : int(msg::Yes);
        default: return int(msg::OK);
        }
    });
}

MsgRecorder::~MsgRecorder() { msg::clearHandler(); }

QStringList MsgRecorder::texts() const
{
    QStringList out;
    for (const auto &b : boxes)
        out << b.text;
    return out;
}

bool MsgRecorder::contains(const QString &text) const
{
    for (const auto &b : boxes)
        if (b.text.contains(text))
            return true;
    return false;
}

QString zipEntry(const QString &zipPath, const QString &entry)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zipPath, entry});
    p.waitForFinished(30000);
    return p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

QMap<QString, QString> xlsxCells(const QString &path, int sheet) { return xlsxCells(path, sheet, false); }

QMap<QString, QString> xlsxCells(const QString &path, int sheet, bool typed)
{
    QStringList shared;
    QXmlStreamReader ss(zipEntry(path, QStringLiteral("xl/sharedStrings.xml")));
    while (!ss.atEnd())
        if (ss.readNext() == QXmlStreamReader::StartElement && ss.name() == QLatin1String("si"))
            shared << ss.readElementText(QXmlStreamReader::IncludeChildElements);
    QMap<QString, QString> cells;
    QXmlStreamReader x(zipEntry(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet)));
    QString ref, type;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == QLatin1String("c")) {
            ref = x.attributes().value(QLatin1String("r")).toString();
            type = x.attributes().value(QLatin1String("t")).toString();
        } else if (x.name() == QLatin1String("v")) {
            const QString v = x.readElementText();
            if (!typed)
                cells[ref] = type == QLatin1String("s") ? shared.value(v.toInt()) : v;
            else
                cells[ref] = type == QLatin1String("s") ? QStringLiteral("s:") + shared.value(v.toInt())
                                                        : (type.isEmpty() ? QStringLiteral("n:") : type + ':') + v;
        }
    }
    return cells;
}

QImage gezeichnet(QWidget *w, double skala)
{
    QImage img(w->size() * skala, QImage::Format_ARGB32);
    img.setDevicePixelRatio(skala);
    img.fill(Qt::white);
    w->render(&img);
    return img;
}

Desktop::Desktop(bool opens)
    : m_opener([this, opens](const QString &path) {
          files << path;
          return opens;
      })
{
}

QString imKind(const std::function<QString()> &fn)
{
    int rohr[2];
    if (pipe(rohr) != 0)
        return QStringLiteral("<pipe>");
    const pid_t pid = fork();
    if (pid == 0) {
        close(rohr[0]);
        const QByteArray aus = fn().toUtf8();
        (void)!write(rohr[1], aus.constData(), size_t(aus.size()));
        _exit(0);
    }
    close(rohr[1]);
    QByteArray gelesen;
    char buf[4096];
    for (ssize_t n; (n = read(rohr[0], buf, sizeof buf)) > 0;)
        gelesen.append(buf, int(n));
    close(rohr[0]);
    waitpid(pid, nullptr, 0);
    return QString::fromUtf8(gelesen);
}

QString beiVollemDatentraeger(const std::function<QString()> &fn)
{
    return imKind([&] {
        // A file size limit fails every write beyond 1 KiB, as a full disk does.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit klein = {1024, 1024};
        setrlimit(RLIMIT_FSIZE, &klein);
        return fn();
    });
}

FremdeSperre::FremdeSperre(const QString &pfad, Art art)
{
    int rohr[2];
    if (pipe(rohr) != 0)
        return;
    const QByteArray name = QFile::encodeName(pfad);
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlives a test that ends abruptly
        close(rohr[0]);
        const int fd = open(name.constData(), O_RDWR);
        bool ok = fd >= 0;
        if (ok && art == Posix) {
            struct flock fl = {};
            fl.l_type = F_WRLCK;
            fl.l_whence = SEEK_SET;
            ok = fcntl(fd, F_SETLKW, &fl) == 0;
        } else if (ok) {
            ok = flock(fd, LOCK_EX) == 0;
        }
        (void)!write(rohr[1], ok ? "j" : "n", 1);
        for (;;)
            pause();
    }
    close(rohr[1]);
    char c = 'n';
    const bool gesperrt = pid > 0 && read(rohr[0], &c, 1) == 1 && c == 'j';
    close(rohr[0]);
    m_pid = pid;
    if (!gesperrt && pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        m_pid = -1;
    }
}

FremdeSperre::~FremdeSperre()
{
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

bool alsGewoehnlicherBenutzer()
{
    if (geteuid() != 0)
        return true;
    __user_cap_header_struct kopf = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct rechte[2] = {};
    if (syscall(SYS_capget, &kopf, rechte) != 0)
        return false;
    // Writing past the permissions (CAP_DAC_OVERRIDE) and as every file's owner (CAP_FOWNER) go;
    // reading and searching every folder (CAP_DAC_READ_SEARCH) stays.
    for (const int recht : {CAP_DAC_OVERRIDE, CAP_FOWNER}) {
        const unsigned bit = 1u << (recht % 32);
        rechte[recht / 32].effective &= ~bit;
        rechte[recht / 32].permitted &= ~bit;
        rechte[recht / 32].inheritable &= ~bit;
    }
    return syscall(SYS_capset, &kopf, rechte) == 0;
}

namespace {

// A file of the shim: our methods first, the default VFS's own file behind them.
struct ShimDatei {
    sqlite3_file basis;
    sqlite3_file *innen() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

sqlite3_vfs *s_standard = nullptr;
sqlite3_vfs s_shim;
sqlite3_io_methods s_methoden;
std::atomic<bool> s_ausfall{false};

sqlite3_file *innen(sqlite3_file *f) { return reinterpret_cast<ShimDatei *>(f)->innen(); }
bool weg() { return s_ausfall.load(); }

int shimClose(sqlite3_file *f) { return innen(f)->pMethods->xClose(innen(f)); }
int shimRead(sqlite3_file *f, void *p, int n, sqlite3_int64 o)
{
    return weg() ? SQLITE_IOERR_READ : innen(f)->pMethods->xRead(innen(f), p, n, o);
}
int shimWrite(sqlite3_file *f, const void *p, int n, sqlite3_int64 o)
{
    return weg() ? SQLITE_IOERR_WRITE : innen(f)->pMethods->xWrite(innen(f), p, n, o);
}
int shimTruncate(sqlite3_file *f, sqlite3_int64 n)
{
    return weg() ? SQLITE_IOERR_TRUNCATE : innen(f)->pMethods->xTruncate(innen(f), n);
}
int shimSync(sqlite3_file *f, int fl) { return weg() ? SQLITE_IOERR_FSYNC : innen(f)->pMethods->xSync(innen(f), fl); }
int shimFileSize(sqlite3_file *f, sqlite3_int64 *n)
{
    return weg() ? SQLITE_IOERR_FSTAT : innen(f)->pMethods->xFileSize(innen(f), n);
}
int shimLock(sqlite3_file *f, int l) { return weg() ? SQLITE_IOERR_LOCK : innen(f)->pMethods->xLock(innen(f), l); }
int shimUnlock(sqlite3_file *f, int l) { return innen(f)->pMethods->xUnlock(innen(f), l); }
int shimReserved(sqlite3_file *f, int *r)
{
    return weg() ? SQLITE_IOERR_CHECKRESERVEDLOCK : innen(f)->pMethods->xCheckReservedLock(innen(f), r);
}
int shimControl(sqlite3_file *f, int op, void *a) { return innen(f)->pMethods->xFileControl(innen(f), op, a); }
int shimSector(sqlite3_file *f) { return innen(f)->pMethods->xSectorSize(innen(f)); }
int shimDevice(sqlite3_file *f) { return innen(f)->pMethods->xDeviceCharacteristics(innen(f)); }
int shimShmMap(sqlite3_file *f, int i, int n, int b, void volatile **p)
{
    return innen(f)->pMethods->xShmMap(innen(f), i, n, b, p);
}
int shimShmLock(sqlite3_file *f, int o, int n, int fl) { return innen(f)->pMethods->xShmLock(innen(f), o, n, fl); }
void shimShmBarrier(sqlite3_file *f) { innen(f)->pMethods->xShmBarrier(innen(f)); }
int shimShmUnmap(sqlite3_file *f, int d) { return innen(f)->pMethods->xShmUnmap(innen(f), d); }
int shimFetch(sqlite3_file *f, sqlite3_int64 o, int n, void **p)
{
    // No memory-mapped pages: every read goes through shimRead.
    *p = nullptr;
    (void)f; (void)o; (void)n;
    return SQLITE_OK;
}
int shimUnfetch(sqlite3_file *, sqlite3_int64, void *) { return SQLITE_OK; }

int shimOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags)
{
    auto *d = reinterpret_cast<ShimDatei *>(f);
    d->basis.pMethods = nullptr;
    const int rc = s_standard->xOpen(s_standard, name, d->innen(), flags, outFlags);
    if (d->innen()->pMethods)
        d->basis.pMethods = &s_methoden;
    return rc;
}
int shimAccess(sqlite3_vfs *, const char *name, int fl, int *r)
{
    return weg() ? SQLITE_IOERR_ACCESS : s_standard->xAccess(s_standard, name, fl, r);
}

} // namespace

Netzausfall::Netzausfall()
{
    s_standard = sqlite3_vfs_find(nullptr);
    s_shim = *s_standard;
    s_shim.iVersion = 1;
    s_shim.pNext = nullptr;
    s_shim.zName = "zandrel-netzausfall";
    s_shim.szOsFile = int(sizeof(ShimDatei)) + s_standard->szOsFile;
    s_shim.xOpen = shimOpen;
    s_shim.xAccess = shimAccess;
    s_shim.xDelete = [](sqlite3_vfs *, const char *n, int sync) { return s_standard->xDelete(s_standard, n, sync); };
    s_shim.xFullPathname = [](sqlite3_vfs *, const char *n, int size, char *out) {
        return s_standard->xFullPathname(s_standard, n, size, out);
    };
    s_shim.xDlOpen = [](sqlite3_vfs *, const char *n) { return s_standard->xDlOpen(s_standard, n); };
    s_shim.xDlError = [](sqlite3_vfs *, int n, char *m) { s_standard->xDlError(s_standard, n, m); };
    s_shim.xDlSym = [](sqlite3_vfs *, void *h, const char *n) { return s_standard->xDlSym(s_standard, h, n); };
    s_shim.xDlClose = [](sqlite3_vfs *, void *h) { s_standard->xDlClose(s_standard, h); };
    s_shim.xRandomness = [](sqlite3_vfs *, int n, char *out) { return s_standard->xRandomness(s_standard, n, out); };
    s_shim.xSleep = [](sqlite3_vfs *, int us) { return s_standard->xSleep(s_standard, us); };
    s_shim.xCurrentTime = [](sqlite3_vfs *, double *t) { return s_standard->xCurrentTime(s_standard, t); };
    s_shim.xGetLastError = [](sqlite3_vfs *, int n, char *m) { return s_standard->xGetLastError(s_standard, n, m); };
    s_methoden = sqlite3_io_methods{3,           shimClose,   shimRead,     shimWrite,   shimTruncate,
                                    shimSync,    shimFileSize, shimLock,    shimUnlock,  shimReserved,
                                    shimControl, shimSector,  shimDevice,   shimShmMap,  shimShmLock,
                                    shimShmBarrier, shimShmUnmap, shimFetch, shimUnfetch};
    s_ausfall = false;
    sqlite3_vfs_register(&s_shim, 1);
}

Netzausfall::~Netzausfall()
{
    s_ausfall = false;
    sqlite3_vfs_unregister(&s_shim);
}

void Netzausfall::ausfallen(bool an) { s_ausfall = an; }

} // namespace testsupport

