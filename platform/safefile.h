#pragma once
// Every file the program writes goes through here: the new content is written into a temporary
// file beside the target (".<name>.zandrel-XXXXXX"), flushed to the disk and then renamed over
// the target in one step, with the old file's permissions. Whatever happens on the way (a full
// disk, a killed process), the folder holds the old file or the new one, never a damaged one.
// Leftovers of a killed write are removed the next time the same file is written.
//
//   QString fehler;
//   if (!safefile::writeFile(pfad, bytes, &fehler))
//       msg::box(QStringLiteral("… nicht gespeichert.\r\r") + fehler);
//
// Failures are given as "Datei: <path>\rGrund: <German reason>".
#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/types.h>

struct stat;

namespace safefile {

// The German reason for a failed file operation (an errno value).
QString reason(int err);
// Whether asking for a file or folder failed with `err` because its place cannot be reached now
// (a network folder gone away), not because it is missing or forbidden.
bool unreachable(int err);
// "Datei: <path>\rGrund: <reason>" as the writers report a failure.
QString failureText(const QString &path, const QString &reason);

// One replacement of a file.
class Writer {
public:
    explicit Writer(const QString &path);
    ~Writer(); // an uncommitted temporary file is removed
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    // Checks the target (folder there, file not write-protected: no write permission for anybody, or
    // none for this user; not locked by another program with fcntl or flock),
    // removes our own leftovers for it and creates the temporary file.
    bool begin();
    // The temporary file, for libraries that write a file by its name.
    QString tempPath() const { return m_temp; }
    bool write(const QByteArray &data);
    // A library failed writing tempPath(): `err` is its errno (0 when unknown).
    bool fail(int err);
    // Flushes the temporary file to the disk and renames it over the target.
    bool commit();
    // The target actually written (a symbolic link's target).
    QString target() const { return m_target; }
    QString error() const { return m_error; }

private:
    bool setError(const QString &why);
    void discard();
    QString m_target, m_temp, m_error;
    int m_fd = -1;
    bool m_existed = false;
    unsigned m_mode = 0;
    unsigned m_uid = 0, m_gid = 0;
};

// Whether `path` can be replaced now (the checks of Writer::begin); only our own leftovers for it
// are removed.
bool check(const QString &path, QString *error = nullptr);
// Replaces the file at `path` with `data`.
bool writeFile(const QString &path, const QByteArray &data, QString *error = nullptr);
// Replaces the file at `path` with what `fill` writes into the temporary path it is given;
// fill returns false when it failed (errno is taken as the reason when it names one).
bool writeWith(const QString &path, const std::function<bool(const QString &tempPath)> &fill,
               QString *error = nullptr);

// The system calls through which the writers reach the disk. Tests put a fault or a watch in their
// place; a call left empty is the system's own.
struct SystemCalls {
    std::function<ssize_t(int fd, const void *data, size_t size)> write;
    std::function<int(int fd)> fsync; // the temporary file's, and the folder's after the rename
    std::function<int(const char *from, const char *to)> rename;
    // Asking for the target and its folder: a network folder gone away fails it with ENOTCONN,
    // ESTALE or EIO.
    std::function<int(const char *path, struct stat *st)> stat;
};
class ScopedSystemCalls {
public:
    explicit ScopedSystemCalls(SystemCalls calls);
    ~ScopedSystemCalls();
    ScopedSystemCalls(const ScopedSystemCalls &) = delete;
    ScopedSystemCalls &operator=(const ScopedSystemCalls &) = delete;

private:
    SystemCalls m_previous;
};

// Whether `path` is missing from a folder that can be reached: only then may a default file be
// made in its place. When it cannot be asked for now, *err gets the reason (errno), else 0.
bool missing(const QString &path, int *err = nullptr);

// Our own leftovers for `path`: temporary files no running write holds (for tests and cleanup).
QStringList leftovers(const QString &path);

} // namespace safefile
