#pragma once
// SQLite reaches the files through a thin VFS of our own, wrapped around the VFS that is SQLite's
// default when a connection opens. It remembers which calls into the file system failed, so that
// the database layer can tell a file that could not be read just now (a network folder gone away)
// from a damaged one, and a commit whose only fault was releasing the lock from a failed one.
// Tests build on the same wrapper to make a fault real and to watch the order of writes and syncs.
#include <sqlite3.h>

#include <string>

#include <mutex>
#include <vector>

namespace zdb {

struct HuellenDatei;

// One call of SQLite into the file system.
struct Dateiaufruf {
    enum Art { Oeffnen, Lesen, Schreiben, Kuerzen, Sync, Groesse, Sperren, Entsperren, SperrePruefen, Loeschen, Zugriff };
    Art art;
    const char *datei;    // the file's name as SQLite gives it; empty for a temporary file
    bool datenbank;       // the database file itself, not a journal or a temporary file
    sqlite3_int64 stelle; // offset of a read or write, new size of a truncation
    int wert;             // bytes read or written, lock level, sync flags
    void *puffer;         // what a read fills; for Zugriff the int that gets the answer
};

// A VFS that hands every call on to another: by default the one that was SQLite's default when it
// was made.
class VfsHuelle {
public:
    explicit VfsHuelle(std::string name, sqlite3_vfs *innen = nullptr);
    virtual ~VfsHuelle(); // unregisters it: close its connections first
    VfsHuelle(const VfsHuelle &) = delete;
    VfsHuelle &operator=(const VfsHuelle &) = delete;

    void registrieren(bool alsStandard);
    void abmelden();
    const char *name() const { return m_name.c_str(); }
    sqlite3_vfs *innen() const { return m_innen; }
    int innenDateigroesse() const { return m_innenDatei; }

protected:
    // Asked before each call: another result than SQLITE_OK is given to SQLite instead, and the
    // call is not made.
    virtual int vorher(const Dateiaufruf &) { return SQLITE_OK; }
    // Sees the result of a call that was made and may replace it.
    virtual int nachher(const Dateiaufruf &, int rc) { return rc; }

private:
    friend struct VfsZugang;
    std::string m_name;
    sqlite3_vfs m_vfs;
    sqlite3_vfs *m_innen;
    int m_innenDatei;
    bool m_registriert = false;
    std::mutex m_offenSperre;
    std::vector<HuellenDatei *> m_offen; // the open database files, to tie a journal's faults to them
};

// sqlite3_open_v2 through our wrapper around SQLite's current default VFS.
int oeffnen(const char *datei, sqlite3 **db, int flags);

// What failed in the calls on a connection's database file since stoerungVergessen.
struct Dateistoerung {
    // A read or a size query ended in an I/O error, or a read gave fewer bytes than the file holds.
    bool ioFehler = false;
    // The first call that failed released a lock: what came before it went through.
    bool zuerstEntsperren = false;
    // The first call that failed removed the journal, and the journal is gone all the same: the
    // commit went through.
    bool journalDennochWeg = false;
};
Dateistoerung dateistoerung(sqlite3 *db);
void stoerungVergessen(sqlite3 *db);

} // namespace zdb
