#include "platform/db.h"
#include "platform/accessfuncs.h"
#include "platform/db_vfs.h"
#include "platform/safefile.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

#include <cerrno>
#include <sys/stat.h>

namespace zdb {

DbError::DbError(Kind k, int code, const QString &msg, const QString &sql, const QString &file)
    : std::runtime_error(msg.toStdString()), m_kind(k), m_code(code), m_msg(msg), m_sql(sql), m_file(file) {}

QString DbError::germanText() const
{
    // What is wrong comes first, named with the file; SQLite's own words only after it.
    const QString wer = m_kind == NotADatabase ? QStringLiteral("Die Datei") : QStringLiteral("Die Datenbank");
    const QString datei = m_file.isEmpty() ? wer + ' ' : wer + '\r' + m_file + '\r';
    QString t;
    switch (m_kind) {
    case Busy:
        t = datei + QStringLiteral("wird gerade von einem anderen Arbeitsplatz benutzt.\r"
                                   "Bitte versuchen Sie es in einigen Sekunden noch einmal.");
        break;
    case NotFound:
        t = datei + QStringLiteral("wurde nicht gefunden oder kann nicht geöffnet werden.");
        break;
    case ReadOnly:
        t = datei + QStringLiteral("ist schreibgeschützt: es kann nichts gespeichert werden.");
        break;
    case Damaged:
        t = datei + QStringLiteral("ist beschädigt und kann nicht gelesen werden.");
        break;
    case NotADatabase:
        t = datei + QStringLiteral("ist keine Datenbank oder ist beschädigt.");
        break;
    case DiskFull:
        t = datei + QStringLiteral("kann nicht geschrieben werden: der Datenträger ist voll.");
        break;
    case IoError:
        // Not "damaged": the file itself may well be whole, and nobody should restore a backup over it.
        t = datei + ((m_code & 0xff) == SQLITE_CANTOPEN ? QStringLiteral("kann nicht geöffnet werden: ")
                                                         : QStringLiteral("kann nicht gelesen oder geschrieben werden: "))
            + QStringLiteral("sie ist im Moment nicht erreichbar (Lese-/Schreibfehler, z. B. weil die Verbindung "
                             "zum Netzwerkordner unterbrochen ist).\r"
                             "Sobald der Netzwerkordner wieder erreichbar ist, kann der Schritt wiederholt werden.");
        break;
    case Other:
        t = m_file.isEmpty() ? QStringLiteral("Datenbankfehler.")
                             : QStringLiteral("Datenbankfehler in\r") + m_file;
        break;
    }
    if (!m_msg.isEmpty() && m_msg != m_file)
        t += QStringLiteral("\r\r(") + m_msg + ')';
    return t;
}

int Result::columnIndex(const QString &name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Result::value(int row, const QString &col) const
{
    int c = columnIndex(col);
    return c < 0 ? QVariant() : rows[row][c];
}

QVariant Result::typedValue(int row, int col) const
{
    const QVariant &v = rows[row][col];
    if (v.isNull())
        return v;
    const QString t = col < declTypes.size() ? declTypes[col] : QString();
    if (t == QLatin1String("DATE") || t == QLatin1String("DATETIME") || t == QLatin1String("TIMESTAMP")) {
        QDateTime dt = dateTimeFromStored(v);
        if (!dt.isValid())
            return v;
        if (t == QLatin1String("DATE") && dt.time() == QTime(0, 0))
            return dt.date();
        return dt;
    }
    if (col < yesNoColumns.size() ? yesNoColumns[col] : isYesNoColumn(t))
        return yesNo(v);
    return v;
}

Db::~Db() { close(); }

DbError::Kind kindOfCode(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbError::Busy;
    case SQLITE_CANTOPEN:
        return DbError::NotFound;
    case SQLITE_NOTADB:
        return DbError::NotADatabase;
    case SQLITE_CORRUPT:
        return DbError::Damaged;
    case SQLITE_FULL:
        return DbError::DiskFull;
    case SQLITE_IOERR:
        return DbError::IoError;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return DbError::ReadOnly;
    default:
        return DbError::Other;
    }
}

namespace {

// Why the place of a file cannot be reached (a network folder gone away): errno, 0 when it can be
// (the file may still be missing there).
int unerreichbar(const QString &path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return 0;
    const int err = errno;
    if (err == ENOENT) {
        // A file may be missing; its folder gone means the share is.
        const QString folder = QFileInfo(path).absolutePath();
        if (::stat(QFile::encodeName(folder).constData(), &st) == 0)
            return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
        return errno == EACCES ? 0 : errno;
    }
    return safefile::unreachable(err) ? err : 0;
}

DbError unreachableError(const QString &path, int err)
{
    return DbError(DbError::IoError, SQLITE_CANTOPEN, safefile::reason(err), QString(), path);
}

} // namespace

DbError errorOf(sqlite3 *db, int rc, const QString &sql, const QString &file)
{
    DbError::Kind kind = kindOfCode(rc);
    QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    // A page that looks damaged after a read that failed, or that gave fewer bytes than the file
    // holds, is a file that could not be read just now.
    if ((kind == DbError::Damaged || kind == DbError::NotADatabase) && dateistoerung(db).ioFehler)
        return DbError(DbError::IoError, SQLITE_IOERR, QString::fromUtf8(sqlite3_errstr(SQLITE_IOERR)), sql,
                       file);
    // An open database whose journal cannot be made: its folder is gone, takes no file, or failed.
    if (kind == DbError::NotFound && !file.isEmpty()) {
        if (const int err = unerreichbar(file))
            return unreachableError(file, err);
        if (db && !QFileInfo(QFileInfo(file).absolutePath()).isWritable())
            return DbError(DbError::ReadOnly, rc, msg, sql, file);
        if (db)
            return DbError(DbError::IoError, SQLITE_IOERR, msg, sql, file);
    }
    return DbError(kind, rc, msg, sql, file);
}

void Db::fail(int rc, const QString &sql)
{
    DbError e = errorOf(m_db, rc, sql, m_path);
    if (e.kind() == DbError::IoError || e.kind() == DbError::Damaged || e.kind() == DbError::NotADatabase)
        m_seitenVerdaechtig = true;
    throw e;
}

// A page that came as zeros while the share was gone stays in the connection's cache as long as
// the file seems unchanged: once no transaction holds them, the cached pages go and are read anew.
void Db::seitenVerwerfen()
{
    if (m_seitenVerdaechtig && m_db && sqlite3_get_autocommit(m_db)) {
        sqlite3_db_release_memory(m_db);
        m_seitenVerdaechtig = false;
    }
}

// The transaction reached the file and only what came after failed (a network folder dropping
// away as the lock is released, or as the removed journal is reported): the statement is done and
// its changes are saved.
bool Db::nurFreigabeGescheitert(sqlite3_stmt *st, bool eigeneTransaktion) const
{
    if (!sqlite3_get_autocommit(m_db))
        return false;
    const Dateistoerung stoerung = dateistoerung(m_db);
    if (!stoerung.zuerstEntsperren && !stoerung.journalDennochWeg)
        return false;
    if (eigeneTransaktion)
        return !sqlite3_stmt_readonly(st);
    const QByteArray text = QByteArray(sqlite3_sql(st)).trimmed().toUpper();
    return text.startsWith("COMMIT") || text.startsWith("END");
}

void Db::open(const QString &path, Mode mode, int busyTimeoutMs)
{
    close();
    const QFileInfo datei(path);
    if (!datei.isFile()) {
        if (const int err = unerreichbar(path))
            throw unreachableError(path, err);
        throw DbError(DbError::NotFound, SQLITE_CANTOPEN, QString(), QString(), path);
    }
    // SQLite takes an empty file for an empty database; here it is one cut off while copying.
    if (datei.size() == 0)
        throw DbError(DbError::NotADatabase, SQLITE_NOTADB, QStringLiteral("die Datei ist leer"), QString(), path);
    QUrl url = QUrl::fromLocalFile(datei.absoluteFilePath());
    QString uri = url.toString(QUrl::FullyEncoded) + (mode == ReadOnly ? "?mode=ro" : "?mode=rw");
    // A connection serves one thread at a time: without SQLite's lock on it, a big read does not
    // pay a lock for every value it takes (sqlite3_interrupt from another thread stays safe).
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX | (mode == ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    sqlite3 *db = nullptr;
    int rc = oeffnen(uri.toUtf8().constData(), &db, flags);
    if (rc != SQLITE_OK) {
        QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close_v2(db);
        // The file was there a moment ago: when it cannot be opened now although it can be read,
        // its place failed.
        const DbError::Kind kind = kindOfCode(rc);
        if (kind == DbError::Other || kind == DbError::NotFound) {
            if (const int err = unerreichbar(path))
                throw unreachableError(path, err);
            if (QFileInfo(path).isReadable())
                throw DbError(DbError::IoError, SQLITE_CANTOPEN, msg, QString(), path);
            throw DbError(DbError::NotFound, rc, msg, QString(), path);
        }
        throw DbError(kind, rc, msg, QString(), path);
    }
    m_db = db;
    m_path = path;
    verbindungEinrichten(busyTimeoutMs);
    // Rollback journal only: the files lie in a shared folder. Reading the schema here finds
    // a file that is no database, or whose first page is damaged, before any piece of work starts.
    try {
        scalar("SELECT count(*) FROM sqlite_master");
        Result r = query("PRAGMA journal_mode");
        if (!r.isEmpty() && r.value(0, 0).toString().compare("wal", Qt::CaseInsensitive) == 0 && mode == ReadWrite)
            exec("PRAGMA journal_mode=DELETE");
    } catch (const DbError &) {
        close();
        throw;
    }
}

void Db::create(const QString &path)
{
    close();
    sqlite3 *db = nullptr;
    int rc = oeffnen(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        throw DbError(kindOfCode(rc), rc, QString(), QString(), path);
    }
    m_db = db;
    m_path = path;
    verbindungEinrichten(5000);
}

void Db::verbindungEinrichten(int busyTimeoutMs)
{
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 0);
    registerAccessFunctions(m_db);
    // Every commit synced in full (journal, then database, then the journal's removal), whatever the
    // library was built with: a power cut leaves the old or the new state.
    sqlite3_exec(m_db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
}

void Db::close()
{
    if (m_db) {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Db::setBusyTimeout(int ms)
{
    if (m_db)
        sqlite3_busy_timeout(m_db, ms);
}

static void bindValue(sqlite3_stmt *st, int idx, const QVariant &raw)
{
    QVariant v = toStored(raw);
    if (v.isNull() || !v.isValid()) {
        sqlite3_bind_null(st, idx);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
        sqlite3_bind_int64(st, idx, v.toLongLong());
        break;
    case QMetaType::ULongLong:
        sqlite3_bind_int64(st, idx, qint64(v.toULongLong()));
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(st, idx, v.toDouble());
        break;
    case QMetaType::QByteArray: {
        QByteArray b = v.toByteArray();
        sqlite3_bind_blob(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        QByteArray b = v.toString().toUtf8();
        sqlite3_bind_text(st, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    }
}

static QVariant columnValue(sqlite3_stmt *st, int i)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                          sqlite3_column_bytes(st, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i)));
    default:
        return QVariant();
    }
}

void Db::prepareAndRun(const QString &sql, const Params &params,
                       const std::function<bool(void *)> &onRow, int *changes)
{
    if (!m_db)
        throw DbError(DbError::NotFound, SQLITE_MISUSE, QStringLiteral("Datenbank ist nicht geöffnet"), sql);
    seitenVerwerfen();
    QByteArray text = sql.toUtf8();
    const char *tail = text.constData();
    const char *end = tail + text.size();
    int total = 0;
    bool first = true;
    // Finalised however the step loop ends: a row handler that throws must not leave the
    // statement open, or its read lock would keep every other workstation from writing.
    struct Finalizer {
        sqlite3_stmt *st = nullptr;
        ~Finalizer() { sqlite3_finalize(st); }
    };
    while (tail && tail < end) {
        Finalizer f;
        int rc = sqlite3_prepare_v2(m_db, tail, int(end - tail), &f.st, &tail);
        if (rc != SQLITE_OK)
            fail(rc, sql);
        sqlite3_stmt *st = f.st;
        if (!st) // only blanks or a comment left
            break;
        if (first) {
            for (int i = 0; i < params.size(); ++i)
                bindValue(st, i + 1, params[i]);
        } else if (!params.isEmpty()) {
            throw DbError(DbError::Other, SQLITE_MISUSE, QStringLiteral("mehrere Anweisungen mit Parametern"), sql);
        }
        const bool eigeneTransaktion = sqlite3_get_autocommit(m_db);
        stoerungVergessen(m_db);
        bool go = true;
        while (go) {
            rc = sqlite3_step(st);
            if (rc == SQLITE_ROW) {
                if (onRow && !onRow(st))
                    go = false;
            } else if (rc == SQLITE_DONE || nurFreigabeGescheitert(st, eigeneTransaktion)) {
                break;
            } else {
                fail(rc, sql);
            }
        }
        total += sqlite3_changes(m_db);
        first = false;
        if (!go)
            break;
    }
    if (changes)
        *changes = total;
}

int Db::exec(const QString &sql, const Params &params)
{
    int changes = 0;
    prepareAndRun(sql, params, nullptr, &changes);
    return changes;
}

// Names, declared types and Yes/No columns of a prepared statement's result.
static void kopfLesen(sqlite3_stmt *st, Result &r)
{
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
        r.columns << QString::fromUtf8(sqlite3_column_name(st, i));
        const char *dt = sqlite3_column_decltype(st, i);
        const QString typ = dt ? QString::fromUtf8(dt).section('(', 0, 0).trimmed().toUpper() : QString();
        r.declTypes << typ;
        r.yesNoColumns << isYesNoColumn(typ, QString::fromUtf8(sqlite3_column_table_name(st, i)),
                                        QString::fromUtf8(sqlite3_column_origin_name(st, i)));
    }
}

Result Db::query(const QString &sql, const Params &params, int maxRows)
{
    Result r;
    bool headerDone = false;
    prepareAndRun(sql, params, [&](void *p) {
        auto *st = static_cast<sqlite3_stmt *>(p);
        int n = sqlite3_column_count(st);
        if (!headerDone) {
            kopfLesen(st, r);
            headerDone = true;
        }
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row << columnValue(st, i);
        r.rows << row;
        return maxRows < 0 || r.rows.size() < maxRows;
    }, nullptr);
    if (!headerDone && m_db) {
        // No rows: still report the column names.
        sqlite3_stmt *st = nullptr;
        QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &st, nullptr) == SQLITE_OK && st)
            kopfLesen(st, r);
        sqlite3_finalize(st);
    }
    return r;
}

void Db::forEach(const QString &sql, const Params &params, const std::function<bool(const QVariantList &)> &fn)
{
    QVariantList row;
    prepareAndRun(sql, params, [&](void *p) {
        auto *st = static_cast<sqlite3_stmt *>(p);
        int n = sqlite3_column_count(st);
        row.clear();
        for (int i = 0; i < n; ++i)
            row << columnValue(st, i);
        return fn(row);
    }, nullptr);
}

void Db::forEachRow(const QString &sql, const Params &params, const std::function<bool(const Row &)> &fn)
{
    prepareAndRun(sql, params, [&](void *p) { return fn(Row(p)); }, nullptr);
}

int Row::columnCount() const { return sqlite3_column_count(static_cast<sqlite3_stmt *>(m_st)); }

Row::Type Row::type(int col) const { return Type(sqlite3_column_type(static_cast<sqlite3_stmt *>(m_st), col)); }

qint64 Row::int64(int col) const { return sqlite3_column_int64(static_cast<sqlite3_stmt *>(m_st), col); }

QByteArrayView Row::utf8(int col) const
{
    auto *st = static_cast<sqlite3_stmt *>(m_st);
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, col));
    return t ? QByteArrayView(t, sqlite3_column_bytes(st, col)) : QByteArrayView();
}

QVariant Row::value(int col) const { return columnValue(static_cast<sqlite3_stmt *>(m_st), col); }

QVariant Db::scalar(const QString &sql, const Params &params)
{
    QVariant out;
    prepareAndRun(sql, params, [&](void *p) {
        out = columnValue(static_cast<sqlite3_stmt *>(p), 0);
        return false;
    }, nullptr);
    return out;
}

qint64 Db::lastInsertId() const { return m_db ? sqlite3_last_insert_rowid(m_db) : 0; }

bool Db::tableExists(const QString &table)
{
    return scalar("SELECT count(*) FROM sqlite_master WHERE type IN ('table','view') AND name = ? COLLATE NOCASE",
                  {table}).toInt() > 0;
}

QStringList Db::columnsOf(const QString &table)
{
    QStringList out;
    Result r = query("SELECT name FROM pragma_table_info(?)", {table});
    for (const auto &row : r.rows)
        out << row[0].toString();
    return out;
}

bool Db::columnExists(const QString &table, const QString &column)
{
    for (const QString &c : columnsOf(table))
        if (c.compare(column, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void Db::beginImmediate() { exec("BEGIN IMMEDIATE"); }
void Db::commit() { exec("COMMIT"); }
void Db::rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    seitenVerwerfen();
}
bool Db::inTransaction() const { return m_db && !sqlite3_get_autocommit(m_db); }

WriteTransaction::~WriteTransaction()
{
    if (!m_done)
        m_db.rollback();
}

void WriteTransaction::commit()
{
    m_db.commit();
    m_done = true;
}

QString isoDate(const QDate &d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }
QString isoDateTime(const QDateTime &dt) { return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

QVariant toStored(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (v.typeId()) {
    case QMetaType::QDate:
        return isoDate(v.toDate());
    case QMetaType::QDateTime:
        return isoDateTime(v.toDateTime());
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    default:
        return v;
    }
}

// "yyyy-MM-dd" at the start of s; the common form of digits is read directly, since Qt's
// format parser is slow when a grid reads thousands of days.
static QDate isoTag(const QString &s)
{
    auto ziffern = [&](int von, int n, int &wert) {
        wert = 0;
        for (int i = von; i < von + n; ++i) {
            const char16_t ch = s[i].unicode();
            if (ch < u'0' || ch > u'9')
                return false;
            wert = wert * 10 + (ch - u'0');
        }
        return true;
    };
    int y = 0, m = 0, d = 0;
    if (s[4] == u'-' && s[7] == u'-' && ziffern(0, 4, y) && ziffern(5, 2, m) && ziffern(8, 2, d))
        return QDate(y, m, d);
    return QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
}

// Day and time of a stored text "yyyy-MM-dd", "yyyy-MM-dd hh:mm[:ss]" (or with "T"); false for others.
static bool tagUndZeit(const QString &s, QDate *d, QTime *t)
{
    if (s.size() < 10)
        return false;
    *d = isoTag(s);
    if (!d->isValid())
        return false;
    if (s.size() == 10) {
        *t = QTime(0, 0);
        return true;
    }
    *t = QTime::fromString(s.mid(11, 8), QStringLiteral("HH:mm:ss"));
    if (!t->isValid())
        *t = QTime::fromString(s.mid(11, 5), QStringLiteral("HH:mm"));
    return t->isValid() && (s[10] == ' ' || s[10] == 'T');
}

QDateTime dateTimeFromStored(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    QDate d;
    QTime t;
    return tagUndZeit(v.toString().trimmed(), &d, &t) ? QDateTime(d, t) : QDateTime();
}

// Without building a date and time: that asks the time zone, which is slow over many rows.
QDate dateFromStored(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    QDate d;
    QTime t;
    return tagUndZeit(v.toString().trimmed(), &d, &t) ? d : QDate();
}

QString yesNoSql(const QString &expr) { return QStringLiteral("IIf(") + expr + QStringLiteral(", 1, 0)"); }

bool yesNo(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return false;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.compare("wahr", Qt::CaseInsensitive) == 0 || s.compare("true", Qt::CaseInsensitive) == 0)
            return true;
        bool ok = false;
        double d = s.toDouble(&ok);
        return ok && d != 0.0;
    }
    return v.toDouble() != 0.0;
}

bool isYesNoColumn(const QString &declType, const QString &table, const QString &column)
{
    const QString t = declType.section('(', 0, 0).trimmed().toUpper();
    for (const char *art : {"BIT", "BOOL", "BOOLEAN", "YESNO", "LOGICAL"})
        if (t == QLatin1String(art))
            return true;
    if (column.isEmpty())
        return false;
    // The Yes/No columns of the grade manager's and the own tables, as the Access files define them.
    static const QVector<QPair<QString, QString>> spalten = [] {
        QVector<QPair<QString, QString>> v;
        for (const auto &[t, c] : {std::pair{"Adressen", "gilt1"}, {"Adressen", "gilt2"},
                                   {"Adressen", "Hauptansprechpartner"}, {"Adressen", "LRS"},
                                   {"Adressen", "Legasthenie"}, {"Schüler", "LRS"}, {"Schüler", "Legasthenie"},
                                   {"Unterricht", "Archiv"}, {"Noten", "Archiv"}, {"SYS_Settings", "Gesperrt"},
                                   {"tbl_Fehltage", "entschuldigt"}, {"tbl_Fehlgrund", "fuer_Schueler"},
                                   {"tbl_Fehlgrund", "fuer_Lehrer"}, {"tbl_Termin", "nichtInternet"}})
            v.append({QString::fromUtf8(t), QString::fromUtf8(c)});
        return v;
    }();
    for (const auto &[t, c] : spalten)
        if (column.compare(c, Qt::CaseInsensitive) == 0 && table.compare(t, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

qint64 storedYes(Db &db, const QString &table, const QString &column)
{
    const QVariant minusEins = db.scalar(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = -1 LIMIT 1")
                                             .arg(quoteName(table), quoteName(column)));
    return minusEins.isNull() ? 1 : -1;
}

QString quoteName(const QString &name)
{
    QString n = name;
    n.replace('"', "\"\"");
    return '"' + n + '"';
}

} // namespace zdb
