#include "platform/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace safefile {

namespace {

const QLatin1String TempMark(".zandrel-");
constexpr int TempRandom = 6;

QByteArray native(const QString &path) { return QFile::encodeName(path); }

SystemCalls &calls()
{
    static SystemCalls c;
    return c;
}

ssize_t sysWrite(int fd, const void *p, size_t n) { return calls().write ? calls().write(fd, p, n) : ::write(fd, p, n); }
int sysFsync(int fd) { return calls().fsync ? calls().fsync(fd) : ::fsync(fd); }
int sysRename(const char *from, const char *to)
{
    return calls().rename ? calls().rename(from, to) : ::rename(from, to);
}
int sysStat(const QString &path, struct stat *st)
{
    const QByteArray n = native(path);
    return calls().stat ? calls().stat(n.constData(), st) : ::stat(n.constData(), st);
}

QString tempPrefix(const QFileInfo &target) { return QLatin1Char('.') + target.fileName() + TempMark; }

bool isOurTemp(const QString &entry, const QString &prefix)
{
    if (entry.size() != prefix.size() + TempRandom || !entry.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < entry.size(); ++i)
        if (!(entry[i].isLetterOrNumber() && entry[i].unicode() < 128))
            return false;
    return true;
}

QString randomPart()
{
    static const char chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString s;
    for (int i = 0; i < TempRandom; ++i)
        s += QLatin1Char(chars[QRandomGenerator::global()->bounded(int(sizeof chars - 1))]);
    return s;
}

// Another program (an office suite) holding a lock on the file, or its lock file beside it.
bool lockedElsewhere(const QFileInfo &target)
{
    if (QFileInfo::exists(target.absolutePath() + QStringLiteral("/.~lock.") + target.fileName() + QLatin1Char('#')))
        return true;
    const int fd = ::open(native(target.absoluteFilePath()).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct flock fl = {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    bool locked = ::fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    // A program may lock the whole file with flock instead: the same refusal. Free, the trial lock
    // goes with the descriptor.
    if (!locked && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        locked = errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // Some network shares cannot sync a folder; the file has been replaced all the same.
        sysFsync(fd);
        ::close(fd);
    }
}

bool diskFull(const QString &folder)
{
    struct statvfs st = {};
    return ::statvfs(native(folder).constData(), &st) == 0 && quint64(st.f_bavail) * st.f_frsize < 64 * 1024;
}

} // namespace

QString reason(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("Der Datenträger ist voll.");
    case EFBIG: return QStringLiteral("Der Datenträger ist voll oder die Datei wird zu groß.");
    case EACCES:
    case EPERM: return QStringLiteral("Keine Schreibberechtigung.");
    case EROFS: return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ENOENT:
    case ENOTDIR: return QStringLiteral("Der Ordner existiert nicht.");
    case EISDIR: return QStringLiteral("Unter diesem Namen gibt es bereits einen Ordner.");
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
    case EDEADLK: return QStringLiteral("Die Datei ist gesperrt oder in einem anderen Programm geöffnet.");
    case EIO: return QStringLiteral("Lese-/Schreibfehler des Datenträgers.");
    case ENOTCONN:
    case ESTALE:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
    case ECONNRESET:
    case ECONNABORTED:
    case ETIMEDOUT: return QStringLiteral("Die Verbindung zum Netzwerkordner ist unterbrochen.");
    case ENAMETOOLONG: return QStringLiteral("Der Dateiname ist zu lang.");
    case EINVAL: return QStringLiteral("Der Dateiname ist ungültig.");
    case EMFILE:
    case ENFILE: return QStringLiteral("Zu viele Dateien sind geöffnet.");
    case ENOMEM: return QStringLiteral("Nicht genügend Arbeitsspeicher.");
    default: break;
    }
    return err ? QStringLiteral("Die Datei konnte nicht vollständig geschrieben werden (Fehler %1).").arg(err)
               : QStringLiteral("Die Datei konnte nicht vollständig geschrieben werden.");
}

bool unreachable(int err)
{
    switch (err) {
    case 0:
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case ENAMETOOLONG:
    case ELOOP:
        return false;
    default:
        return true;
    }
}

QString failureText(const QString &path, const QString &why)
{
    return QStringLiteral("Datei: ") + QDir::toNativeSeparators(path) + QStringLiteral("\rGrund: ") + why;
}

namespace {

// Our temporary files for `path` that no running write holds; removed while locked when asked,
// so that a write that has just made its file never loses it (it checks its name after locking).
QStringList abandoned(const QString &path, bool remove)
{
    const QFileInfo target(path);
    const QString prefix = tempPrefix(target);
    QStringList out;
    const QDir dir(target.absolutePath());
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!isOurTemp(entry, prefix))
            continue;
        const QString full = dir.filePath(entry);
        const int fd = ::open(native(full).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            out << full;
            if (remove)
                ::unlink(native(full).constData());
        }
        ::close(fd);
    }
    return out;
}

} // namespace

QStringList leftovers(const QString &path) { return abandoned(path, false); }

ScopedSystemCalls::ScopedSystemCalls(SystemCalls c) : m_previous(calls()) { calls() = std::move(c); }

ScopedSystemCalls::~ScopedSystemCalls() { calls() = std::move(m_previous); }

Writer::Writer(const QString &path)
{
    const QFileInfo info(path);
    m_target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    if (path.trimmed().isEmpty())
        m_target.clear();
}

Writer::~Writer() { discard(); }

void Writer::discard()
{
    if (m_fd >= 0) {
        ::unlink(native(m_temp).constData());
        ::close(m_fd);
        m_fd = -1;
    }
}

bool Writer::setError(const QString &why)
{
    m_error = failureText(m_target, why);
    discard();
    return false;
}

bool Writer::begin()
{
    if (m_target.isEmpty()) {
        m_error = QStringLiteral("Es wurde kein Dateiname angegeben.");
        return false;
    }
    const QFileInfo target(m_target);
    // A folder that cannot be asked for (a network folder gone away) is not a missing one.
    struct stat folder = {};
    if (sysStat(target.absolutePath(), &folder) != 0 && unreachable(errno))
        return setError(reason(errno));
    if (!S_ISDIR(folder.st_mode))
        return setError(QStringLiteral("Der Ordner \"%1\" existiert nicht.")
                            .arg(QDir::toNativeSeparators(target.absolutePath())));
    struct stat old = {};
    m_existed = sysStat(m_target, &old) == 0;
    if (!m_existed && unreachable(errno))
        return setError(reason(errno));
    if (m_existed) {
        if (S_ISDIR(old.st_mode))
            return setError(reason(EISDIR));
        // A file that nobody may write is write-protected for root as well, as Windows refuses a
        // read-only file to everybody.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return setError(QStringLiteral("Die Datei ist schreibgeschützt."));
        if (::access(native(m_target).constData(), W_OK) != 0)
            return setError(errno == EROFS ? reason(EROFS) : QStringLiteral("Die Datei ist schreibgeschützt."));
        if (lockedElsewhere(target))
            return setError(QStringLiteral("Die Datei ist in einem anderen Programm geöffnet."));
        m_mode = old.st_mode & 07777;
        m_uid = old.st_uid;
        m_gid = old.st_gid;
    }
    abandoned(m_target, true);

    const QString prefix = target.absolutePath() + QLatin1Char('/') + tempPrefix(target);
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temp = prefix + randomPart();
        // A new file gets the usual rights (the umask applies), an old file's are copied at the end.
        const int fd = ::open(native(m_temp).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            if (errno == EACCES || errno == EPERM)
                return setError(QStringLiteral("Keine Schreibberechtigung im Ordner \"%1\".")
                                    .arg(QDir::toNativeSeparators(target.absolutePath())));
            return setError(reason(errno));
        }
        // Locked at once, so that no other write takes it for a leftover; had one removed it
        // before the lock, the name no longer leads to this file. A folder without locks (some
        // network shares) is written all the same: there nothing counts as a leftover.
        struct stat mine = {}, named = {};
        if (::flock(fd, LOCK_EX) == 0
            && (::fstat(fd, &mine) != 0 || ::stat(native(m_temp).constData(), &named) != 0
                || mine.st_ino != named.st_ino || mine.st_dev != named.st_dev)) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
    }
    if (m_fd < 0)
        return setError(reason(EEXIST));
    return true;
}

bool Writer::write(const QByteArray &data)
{
    if (m_fd < 0)
        return false;
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = sysWrite(m_fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (n == 0)
            return fail(ENOSPC);
        p += n;
        left -= n;
    }
    return true;
}

bool Writer::fail(int err)
{
    const QString folder = QFileInfo(m_target).absolutePath();
    if ((err == 0 || err == ENOENT || err == ENOTDIR) && QFileInfo(folder).isDir())
        err = diskFull(folder) ? ENOSPC : 0;
    return setError(reason(err));
}

bool Writer::commit()
{
    if (m_fd < 0)
        return false;
    // The content on the disk before the name points to it: after a power cut the target is the
    // old file or the whole new one.
    while (sysFsync(m_fd) != 0)
        if (errno != EINTR)
            return fail(errno);
    if (m_existed) {
        ::fchmod(m_fd, mode_t(m_mode));
        if (::fchown(m_fd, uid_t(m_uid), gid_t(m_gid)) != 0) {
            // Another owner cannot be kept by a normal user; the file becomes the user's.
        }
    }
    if (sysRename(native(m_temp).constData(), native(m_target).constData()) != 0)
        return fail(errno);
    // The rename itself lasts only once the folder is synced.
    syncFolder(QFileInfo(m_target).absolutePath());
    ::close(m_fd);
    m_fd = -1;
    return true;
}

bool missing(const QString &path, int *err)
{
    struct stat st = {};
    int fehler = 0;
    if (sysStat(path, &st) == 0) {
        fehler = 0;
    } else {
        fehler = errno;
        // Missing also where its folder is missing (the writer then names that).
        if (fehler == ENOENT && sysStat(QFileInfo(path).absolutePath(), &st) != 0)
            fehler = errno;
        if (!unreachable(fehler)) {
            if (err)
                *err = 0;
            return true;
        }
    }
    if (err)
        *err = fehler;
    return false;
}

bool check(const QString &path, QString *error)
{
    Writer w(path); // its temporary file goes with it
    const bool ok = w.begin();
    if (!ok && error)
        *error = w.error();
    return ok;
}

bool writeFile(const QString &path, const QByteArray &data, QString *error)
{
    Writer w(path);
    const bool ok = w.begin() && w.write(data) && w.commit();
    if (!ok && error)
        *error = w.error();
    return ok;
}

bool writeWith(const QString &path, const std::function<bool(const QString &)> &fill, QString *error)
{
    Writer w(path);
    bool ok = w.begin();
    if (ok) {
        errno = 0;
        ok = fill(w.tempPath());
        if (!ok)
            w.fail(errno);
    }
    ok = ok && w.commit();
    if (!ok && error)
        *error = w.error();
    return ok;
}

} // namespace safefile
