#include "support/testsupport.h"

#include <QDir>
#include <QWidget>
#include <QProcess>
#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <sqlite3.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
        } else if (x.name() == QLatin1String("is")) {
            // A text kept in its cell (a workbook written row by row) is a text like a shared one.
            const QString t = x.readElementText(QXmlStreamReader::IncludeChildElements);
            cells[ref] = typed ? QStringLiteral("s:") + t : t;
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

namespace {
safefile::SystemCalls statScheitert(const QByteArray &datei, int err)
{
    safefile::SystemCalls c;
    c.stat = [datei, err](const char *p, struct stat *st) {
        if (datei == p) {
            errno = err;
            return -1;
        }
        return ::stat(p, st);
    };
    return c;
}
} // namespace

OrdnerWeg::OrdnerWeg(const QString &pfad, int err) : m_calls(statScheitert(QFile::encodeName(pfad), err)) {}

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
        const int fd = open(name.constData(), art == PosixLesen ? O_RDONLY : O_RDWR);
        bool ok = fd >= 0;
        if (ok && art != Flock) {
            struct flock fl = {};
            fl.l_type = art == PosixLesen ? F_RDLCK : F_WRLCK;
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

int ausfallCode(zdb::Dateiaufruf::Art art)
{
    using A = zdb::Dateiaufruf;
    switch (art) {
    case A::Lesen: return SQLITE_IOERR_READ;
    case A::Schreiben: return SQLITE_IOERR_WRITE;
    case A::Kuerzen: return SQLITE_IOERR_TRUNCATE;
    case A::Sync: return SQLITE_IOERR_FSYNC;
    case A::Groesse: return SQLITE_IOERR_FSTAT;
    case A::Sperren: return SQLITE_IOERR_LOCK;
    case A::Entsperren: return SQLITE_IOERR_UNLOCK;
    case A::SperrePruefen: return SQLITE_IOERR_CHECKRESERVEDLOCK;
    case A::Loeschen: return SQLITE_IOERR_DELETE;
    case A::Zugriff: return SQLITE_IOERR_ACCESS;
    case A::Oeffnen: return SQLITE_CANTOPEN;
    }
    return SQLITE_IOERR;
}

const char *artName(zdb::Dateiaufruf::Art art)
{
    static const char *const namen[] = {"Oeffnen", "Lesen",      "Schreiben",     "Kuerzen",  "Sync",   "Groesse",
                                        "Sperren", "Entsperren", "SperrePruefen", "Loeschen", "Zugriff"};
    return namen[art];
}

} // namespace

Netzausfall::Netzausfall() : zdb::VfsHuelle("zandrel-netzausfall")
{
    using A = zdb::Dateiaufruf;
    // A share that is gone: everything fails but opening, closing, deleting and releasing a lock.
    m_arten = {A::Lesen, A::Schreiben, A::Kuerzen, A::Sync, A::Groesse, A::Sperren, A::SperrePruefen, A::Zugriff};
    registrieren(true);
}

Netzausfall::~Netzausfall() = default;

void Netzausfall::ausfallen(bool an) { m_ausfall = an; }

void Netzausfall::nur(std::initializer_list<zdb::Dateiaufruf::Art> arten, int code, bool nachDemAufruf)
{
    const std::lock_guard<std::mutex> halten(m_sperre);
    m_arten = arten;
    m_code = code;
    m_nachDemAufruf = nachDemAufruf;
}

void Netzausfall::protokollieren(bool an)
{
    const std::lock_guard<std::mutex> halten(m_sperre);
    m_protokollieren = an;
    m_protokoll.clear();
}

QStringList Netzausfall::protokoll() const
{
    const std::lock_guard<std::mutex> halten(m_sperre);
    return m_protokoll;
}

bool Netzausfall::trifft(const zdb::Dateiaufruf &a) const
{
    return m_ausfall && std::find(m_arten.begin(), m_arten.end(), a.art) != m_arten.end();
}

int Netzausfall::ausfall(const zdb::Dateiaufruf &a) const
{
    if (m_code == SQLITE_IOERR_SHORT_READ && a.art == zdb::Dateiaufruf::Lesen && a.puffer)
        std::memset(a.puffer, 0, size_t(a.wert)); // nothing came: zeros, as a short read gives them
    return m_code ? m_code : ausfallCode(a.art);
}

int Netzausfall::vorher(const zdb::Dateiaufruf &a)
{
    const std::lock_guard<std::mutex> halten(m_sperre);
    if (m_protokollieren && (a.art == zdb::Dateiaufruf::Schreiben || a.art == zdb::Dateiaufruf::Sync
                             || a.art == zdb::Dateiaufruf::Loeschen)) {
        const QString name = QString::fromUtf8(a.datei);
        const char *was = a.datenbank ? "datenbank" : name.endsWith("-journal") ? "journal" : "andere";
        m_protokoll << QStringLiteral("%1 %2").arg(artName(a.art), was)
                           + (a.art == zdb::Dateiaufruf::Schreiben ? QStringLiteral(" %1").arg(a.stelle) : QString());
    }
    return trifft(a) && !m_nachDemAufruf ? ausfall(a) : SQLITE_OK;
}

int Netzausfall::nachher(const zdb::Dateiaufruf &a, int rc)
{
    const std::lock_guard<std::mutex> halten(m_sperre);
    return rc == SQLITE_OK && trifft(a) && m_nachDemAufruf ? ausfall(a) : rc;
}

} // namespace testsupport

