#include "platform/db_vfs.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <atomic>
#include <cstring>
#include <memory>

namespace zdb {

// Our part of an open file; the wrapped VFS's own file follows it.
struct HuellenDatei {
    sqlite3_file basis;
    VfsHuelle *huelle;
    const char *name;
    bool datenbank;
    int ioFehler;      // read and written through atomic_ref: a journal's fault is noted from its thread
    int ersteStoerung; // Dateiaufruf::Art of the first failed call, -1 for none
    sqlite3_file *innen() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};
static_assert(sizeof(HuellenDatei) % 8 == 0, "the wrapped file must stay aligned");

namespace {

HuellenDatei *datei(sqlite3_file *f) { return reinterpret_cast<HuellenDatei *>(f); }

extern const sqlite3_io_methods s_methoden;

void notieren(HuellenDatei *d, Dateiaufruf::Art art, bool ioFehler)
{
    int keine = -1;
    std::atomic_ref<int>(d->ersteStoerung).compare_exchange_strong(keine, int(art));
    if (ioFehler)
        std::atomic_ref<int>(d->ioFehler).store(1);
}

} // namespace

struct VfsZugang {
    static VfsHuelle *von(sqlite3_vfs *v) { return static_cast<VfsHuelle *>(v->pAppData); }
    static sqlite3_vfs *innen(sqlite3_vfs *v) { return von(v)->m_innen; }

    // A failed call counts for the database it belongs to: a journal's for every open connection
    // to that database (its name is the database's with "-journal" appended).
    static void merken(VfsHuelle *h, const char *name, bool datenbank, HuellenDatei *d, Dateiaufruf::Art art,
                       int rc)
    {
        // A lock held by another workstation is no fault of the file, nor is reading past the end of
        // a journal (a database's short read is judged where it is read).
        if (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_IOERR_SHORT_READ)
            return;
        const bool io = (rc & 0xff) == SQLITE_IOERR && art != Dateiaufruf::Entsperren;
        if (datenbank && d) {
            notieren(d, art, io);
            return;
        }
        const std::lock_guard<std::mutex> halten(h->m_offenSperre);
        for (HuellenDatei *offen : h->m_offen) {
            const size_t n = std::strlen(offen->name);
            if (n > 0 && std::strncmp(name, offen->name, n) == 0 && name[n] == '-')
                notieren(offen, art, io);
        }
    }

    template <class Weiter>
    static int rufen(sqlite3_file *f, Dateiaufruf::Art art, sqlite3_int64 stelle, int wert, Weiter &&weiter,
                     void *puffer = nullptr)
    {
        HuellenDatei *d = datei(f);
        const Dateiaufruf a{art, d->name, d->datenbank, stelle, wert, puffer};
        int rc = d->huelle->vorher(a);
        if (rc == SQLITE_OK)
            rc = d->huelle->nachher(a, weiter(d->innen()));
        merken(d->huelle, d->name, d->datenbank, d, art, rc);
        return rc;
    }

    static int lesen(sqlite3_file *f, void *p, int n, sqlite3_int64 o)
    {
        const int rc = rufen(f, Dateiaufruf::Lesen, o, n,
                             [&](sqlite3_file *i) { return i->pMethods->xRead(i, p, n, o); }, p);
        // SQLite reads past the end of a file on purpose and takes the zeros; a database that says it
        // holds the bytes and gives fewer, or whose size cannot be asked either (the share is gone),
        // is a file that cannot be read just now.
        HuellenDatei *d = datei(f);
        sqlite3_int64 groesse = 0;
        if (rc == SQLITE_IOERR_SHORT_READ && d->datenbank
            && (d->innen()->pMethods->xFileSize(d->innen(), &groesse) != SQLITE_OK || groesse >= o + n))
            notieren(d, Dateiaufruf::Lesen, true);
        return rc;
    }

    static int oeffnen(sqlite3_vfs *v, sqlite3_filename name, sqlite3_file *f, int flags, int *aus)
    {
        HuellenDatei *d = datei(f);
        d->basis.pMethods = nullptr;
        d->huelle = von(v);
        d->name = name ? name : "";
        d->datenbank = (flags & SQLITE_OPEN_MAIN_DB) != 0;
        d->ioFehler = 0;
        d->ersteStoerung = -1;
        const Dateiaufruf a{Dateiaufruf::Oeffnen, d->name, d->datenbank, 0, flags, nullptr};
        int rc = d->huelle->vorher(a);
        if (rc == SQLITE_OK) {
            d->innen()->pMethods = nullptr;
            rc = d->huelle->nachher(a, innen(v)->xOpen(innen(v), name, d->innen(), flags, aus));
            if (d->innen()->pMethods)
                d->basis.pMethods = &s_methoden;
        }
        if (d->basis.pMethods && d->datenbank) {
            const std::lock_guard<std::mutex> halten(d->huelle->m_offenSperre);
            d->huelle->m_offen.push_back(d);
        } else if (!d->datenbank) {
            merken(d->huelle, d->name, false, nullptr, Dateiaufruf::Oeffnen, rc);
        }
        return rc;
    }

    static int schliessen(sqlite3_file *f)
    {
        HuellenDatei *d = datei(f);
        if (d->datenbank) {
            const std::lock_guard<std::mutex> halten(d->huelle->m_offenSperre);
            std::erase(d->huelle->m_offen, d);
        }
        return d->innen()->pMethods->xClose(d->innen());
    }

    // Deleting and asking for a file by its name (the journal).
    template <class Weiter>
    static int perName(sqlite3_vfs *v, Dateiaufruf::Art art, const char *name, int wert, Weiter &&weiter,
                       void *antwort = nullptr)
    {
        const Dateiaufruf a{art, name, false, 0, wert, antwort};
        int rc = von(v)->vorher(a);
        if (rc == SQLITE_OK)
            rc = von(v)->nachher(a, weiter(innen(v)));
        merken(von(v), name, false, nullptr, art, rc);
        return rc;
    }
};

namespace {

sqlite3_file *innen(sqlite3_file *f) { return datei(f)->innen(); }
using Z = VfsZugang;
using A = Dateiaufruf;

const sqlite3_io_methods s_methoden = {
    3,
    Z::schliessen,
    Z::lesen,
    [](sqlite3_file *f, const void *p, int n, sqlite3_int64 o) {
        return Z::rufen(f, A::Schreiben, o, n, [&](sqlite3_file *i) { return i->pMethods->xWrite(i, p, n, o); });
    },
    [](sqlite3_file *f, sqlite3_int64 n) {
        return Z::rufen(f, A::Kuerzen, n, 0, [&](sqlite3_file *i) { return i->pMethods->xTruncate(i, n); });
    },
    [](sqlite3_file *f, int fl) {
        return Z::rufen(f, A::Sync, 0, fl, [&](sqlite3_file *i) { return i->pMethods->xSync(i, fl); });
    },
    [](sqlite3_file *f, sqlite3_int64 *n) {
        return Z::rufen(f, A::Groesse, 0, 0, [&](sqlite3_file *i) { return i->pMethods->xFileSize(i, n); });
    },
    [](sqlite3_file *f, int l) {
        return Z::rufen(f, A::Sperren, 0, l, [&](sqlite3_file *i) { return i->pMethods->xLock(i, l); });
    },
    [](sqlite3_file *f, int l) {
        return Z::rufen(f, A::Entsperren, 0, l, [&](sqlite3_file *i) { return i->pMethods->xUnlock(i, l); });
    },
    [](sqlite3_file *f, int *r) {
        return Z::rufen(f, A::SperrePruefen, 0, 0,
                        [&](sqlite3_file *i) { return i->pMethods->xCheckReservedLock(i, r); });
    },
    [](sqlite3_file *f, int op, void *a) { return innen(f)->pMethods->xFileControl(innen(f), op, a); },
    [](sqlite3_file *f) { return innen(f)->pMethods->xSectorSize(innen(f)); },
    [](sqlite3_file *f) { return innen(f)->pMethods->xDeviceCharacteristics(innen(f)); },
    [](sqlite3_file *f, int i, int n, int b, void volatile **p) {
        return innen(f)->pMethods->iVersion >= 2 ? innen(f)->pMethods->xShmMap(innen(f), i, n, b, p)
                                                 : SQLITE_IOERR_SHMMAP;
    },
    [](sqlite3_file *f, int o, int n, int fl) {
        return innen(f)->pMethods->iVersion >= 2 ? innen(f)->pMethods->xShmLock(innen(f), o, n, fl)
                                                 : SQLITE_IOERR_SHMLOCK;
    },
    [](sqlite3_file *f) {
        if (innen(f)->pMethods->iVersion >= 2)
            innen(f)->pMethods->xShmBarrier(innen(f));
    },
    [](sqlite3_file *f, int d) {
        return innen(f)->pMethods->iVersion >= 2 ? innen(f)->pMethods->xShmUnmap(innen(f), d) : SQLITE_OK;
    },
    // No memory-mapped pages: every read goes through xRead, where a failure is seen.
    [](sqlite3_file *, sqlite3_int64, int, void **p) {
        *p = nullptr;
        return SQLITE_OK;
    },
    [](sqlite3_file *, sqlite3_int64, void *) { return SQLITE_OK; },
};

} // namespace

namespace {

// The database layer's own wrappers, made once for every VFS that is ever the default and kept:
// connections outlive a change of the default.
std::mutex s_beobachterSperre;
std::vector<std::unique_ptr<VfsHuelle>> s_beobachter;

// SQLite's default VFS, never one of our own wrappers.
sqlite3_vfs *standardVfs()
{
    sqlite3_vfs *v = sqlite3_vfs_find(nullptr);
    const auto eigener = [](sqlite3_vfs *x) {
        for (const auto &h : s_beobachter)
            if (std::strcmp(x->zName, h->name()) == 0)
                return true;
        return false;
    };
    while (v && v->pNext && eigener(v))
        v = v->pNext;
    return v;
}

} // namespace

VfsHuelle::VfsHuelle(std::string name, sqlite3_vfs *innen) : m_name(std::move(name)), m_vfs(), m_innen(innen)
{
    if (!m_innen) {
        const std::lock_guard<std::mutex> halten(s_beobachterSperre);
        m_innen = standardVfs();
    }
    m_innenDatei = m_innen->szOsFile;
    m_vfs.iVersion = m_innen->iVersion >= 2 ? 2 : 1;
    m_vfs.szOsFile = int(sizeof(HuellenDatei)) + m_innen->szOsFile;
    m_vfs.mxPathname = m_innen->mxPathname;
    m_vfs.zName = m_name.c_str();
    m_vfs.pAppData = this;
    m_vfs.xOpen = Z::oeffnen;
    m_vfs.xDelete = [](sqlite3_vfs *v, const char *n, int sync) {
        return Z::perName(v, A::Loeschen, n, sync, [&](sqlite3_vfs *i) { return i->xDelete(i, n, sync); });
    };
    m_vfs.xAccess = [](sqlite3_vfs *v, const char *n, int fl, int *r) {
        return Z::perName(v, A::Zugriff, n, fl, [&](sqlite3_vfs *i) { return i->xAccess(i, n, fl, r); }, r);
    };
    m_vfs.xFullPathname = [](sqlite3_vfs *v, const char *n, int size, char *out) {
        return Z::innen(v)->xFullPathname(Z::innen(v), n, size, out);
    };
    m_vfs.xDlOpen = [](sqlite3_vfs *v, const char *n) { return Z::innen(v)->xDlOpen(Z::innen(v), n); };
    m_vfs.xDlError = [](sqlite3_vfs *v, int n, char *m) { Z::innen(v)->xDlError(Z::innen(v), n, m); };
    m_vfs.xDlSym = [](sqlite3_vfs *v, void *h, const char *n) { return Z::innen(v)->xDlSym(Z::innen(v), h, n); };
    m_vfs.xDlClose = [](sqlite3_vfs *v, void *h) { Z::innen(v)->xDlClose(Z::innen(v), h); };
    m_vfs.xRandomness = [](sqlite3_vfs *v, int n, char *out) { return Z::innen(v)->xRandomness(Z::innen(v), n, out); };
    m_vfs.xSleep = [](sqlite3_vfs *v, int us) { return Z::innen(v)->xSleep(Z::innen(v), us); };
    m_vfs.xCurrentTime = [](sqlite3_vfs *v, double *t) { return Z::innen(v)->xCurrentTime(Z::innen(v), t); };
    m_vfs.xGetLastError = [](sqlite3_vfs *v, int n, char *m) {
        return Z::innen(v)->xGetLastError(Z::innen(v), n, m);
    };
    m_vfs.xCurrentTimeInt64 = [](sqlite3_vfs *v, sqlite3_int64 *t) {
        return Z::innen(v)->xCurrentTimeInt64(Z::innen(v), t);
    };
}

VfsHuelle::~VfsHuelle() { abmelden(); }

void VfsHuelle::registrieren(bool alsStandard)
{
    sqlite3_vfs_register(&m_vfs, alsStandard ? 1 : 0);
    m_registriert = true;
}

void VfsHuelle::abmelden()
{
    if (m_registriert)
        sqlite3_vfs_unregister(&m_vfs);
    m_registriert = false;
}

int oeffnen(const char *datei, sqlite3 **db, int flags)
{
    const std::lock_guard<std::mutex> halten(s_beobachterSperre);
    sqlite3_vfs *standard = standardVfs();
    VfsHuelle *h = nullptr;
    for (const auto &b : s_beobachter)
        if (b->innen() == standard && b->innenDateigroesse() == standard->szOsFile)
            h = b.get();
    if (!h) {
        s_beobachter.push_back(
            std::make_unique<VfsHuelle>("zandrel-" + std::to_string(s_beobachter.size() + 1), standard));
        h = s_beobachter.back().get();
    }
    // Registered only while the connection is made, which keeps its VFS: never in SQLite's list
    // when another VFS goes away, where it would become the default of every other user.
    h->registrieren(false);
    const int rc = sqlite3_open_v2(datei, db, flags, h->name());
    h->abmelden();
    return rc;
}

namespace {

HuellenDatei *datenbankDatei(sqlite3 *db)
{
    sqlite3_file *f = nullptr;
    if (!db || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &f) != SQLITE_OK || !f
        || f->pMethods != &s_methoden)
        return nullptr;
    return datei(f);
}

} // namespace

Dateistoerung dateistoerung(sqlite3 *db)
{
    Dateistoerung s;
    if (HuellenDatei *d = datenbankDatei(db)) {
        s.ioFehler = std::atomic_ref<int>(d->ioFehler).load() != 0;
        const int erste = std::atomic_ref<int>(d->ersteStoerung).load();
        s.zuerstEntsperren = erste == Dateiaufruf::Entsperren;
        if (erste == Dateiaufruf::Loeschen) {
            // Asked without our wrapper's watch: the answer must come from the folder itself. SQLite's
            // own answer takes a folder that cannot be asked (the share gone) for "no journal"; only
            // a journal the system reports missing is gone.
            sqlite3_vfs *v = d->huelle->innen();
            const std::string journal = std::string(d->name) + "-journal";
            int da = 1;
            struct stat st = {};
            s.journalDennochWeg = v->xAccess(v, journal.c_str(), SQLITE_ACCESS_EXISTS, &da) == SQLITE_OK && !da
                                  && ::stat(journal.c_str(), &st) != 0 && errno == ENOENT;
        }
    }
    return s;
}

void stoerungVergessen(sqlite3 *db)
{
    if (HuellenDatei *d = datenbankDatei(db)) {
        std::atomic_ref<int>(d->ioFehler).store(0);
        std::atomic_ref<int>(d->ersteStoerung).store(-1);
    }
}

} // namespace zdb
