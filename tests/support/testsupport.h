#pragma once
// Shared helpers of the tests: a private folder per test and recorded message boxes.
#include "platform/db_vfs.h"
#include "platform/docopener.h"
#include "platform/msg.h"
#include "platform/safefile.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

class QWidget;

namespace testsupport {

// A fresh folder; XDG_CONFIG_HOME, XDG_CONFIG_DIRS and TMPDIR point into it while it lives.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome, m_oldDirs, m_oldTmp;
};

// Records every message box and answers it with the given code (default: OK / the preset button).
class MsgRecorder {
public:
    explicit MsgRecorder(std::function<int(const msg::Request &)> answer = nullptr);
    ~MsgRecorder();
    QList<msg::Request> boxes;
    QStringList texts() const;
    bool contains(const QString &text) const;

private:
    std::function<int(const msg::Request &)> m_answer;
};

// The widget drawn as at a screen scaling (QT_SCALE_FACTOR): device pixels per pixel.
QImage gezeichnet(QWidget *w, double skala);

// Stands in for the desktop while it lives: records every file handed over and answers whether
// an application opened it.
class Desktop {
public:
    explicit Desktop(bool opens = true);
    QStringList files;

private:
    docs::ScopedOpener m_opener;
};

// An entry of a zip package (.xlsx, .docx) as text, read with unzip; "" when it is missing.
QString zipEntry(const QString &zipPath, const QString &entry);
// The cells of one sheet of an .xlsx by address ("A1" -> value; shared and in-cell texts alike).
QMap<QString, QString> xlsxCells(const QString &path, int sheet = 1);
// The same with each cell's type before its text ("s:007" a text, "n:7" a number).
QMap<QString, QString> xlsxCells(const QString &path, int sheet, bool typed);

// Runs fn in a child process and returns the text it gives (the parent's state stays as it is).
QString imKind(const std::function<QString()> &fn);
// The same on a disk that is full after the first kilobyte of any file written.
QString beiVollemDatentraeger(const std::function<QString()> &fn);

// A network folder that cannot be asked for while the object lives: the file writers' and checks'
// questions for `pfad` fail with `err` (ENOTCONN, ESTALE, EIO as a share gone away gives them).
class OrdnerWeg {
public:
    explicit OrdnerWeg(const QString &pfad, int err);

private:
    safefile::ScopedSystemCalls m_calls;
};

// Another program holding a lock on a file for as long as this object lives: a child process
// with a POSIX (fcntl) write or read lock, or a whole-file flock.
class FremdeSperre {
public:
    enum Art { Posix, Flock, PosixLesen };
    FremdeSperre(const QString &pfad, Art art);
    ~FremdeSperre();
    bool haelt() const { return m_pid > 0; }
    FremdeSperre(const FremdeSperre &) = delete;
    FremdeSperre &operator=(const FremdeSperre &) = delete;

private:
    int m_pid = -1;
};

// For a process run by root (as CI runs): drops the right to write where the permissions forbid
// it, so that it meets the checks an ordinary user meets while it can still reach every folder.
// false when the rights cannot be dropped. Call only in a child process (imKind).
bool alsGewoehnlicherBenutzer();

// The folder of the database files dropping away, as a network folder does: while it lives,
// every SQLite connection opened from then on reads and writes through it, and while
// ausfallen(true) holds, SQLite's reads, writes, locks and syncs end in an I/O error. Close the
// connections before it goes.
class Netzausfall : public zdb::VfsHuelle {
public:
    Netzausfall();
    ~Netzausfall() override;
    void ausfallen(bool an);
    // Only calls of these kinds fail, with `code` instead of SQLite's I/O error for the call
    // (SQLITE_IOERR_SHORT_READ: a read gives zeros); nachDemAufruf: the call is made and then fails.
    void nur(std::initializer_list<zdb::Dateiaufruf::Art> arten, int code = 0, bool nachDemAufruf = false);
    // Records every write, sync and delete from now on: "Schreiben journal 512", "Sync datenbank",
    // "Loeschen journal".
    void protokollieren(bool an);
    QStringList protokoll() const;
    Netzausfall(const Netzausfall &) = delete;
    Netzausfall &operator=(const Netzausfall &) = delete;

protected:
    int vorher(const zdb::Dateiaufruf &a) override;
    int nachher(const zdb::Dateiaufruf &a, int rc) override;

private:
    bool trifft(const zdb::Dateiaufruf &a) const;
    int ausfall(const zdb::Dateiaufruf &a) const;
    std::atomic<bool> m_ausfall{false};
    mutable std::mutex m_sperre;
    std::vector<zdb::Dateiaufruf::Art> m_arten;
    int m_code = 0;
    bool m_nachDemAufruf = false;
    bool m_protokollieren = false;
    QStringList m_protokoll;
};

} // namespace testsupport
