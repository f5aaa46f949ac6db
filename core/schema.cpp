#include "core/schema.h"
#include "platform/valuetext.h"

namespace schema {

namespace {

Column col(const QString &name, const QString &type) { return Column{name, type, {}, false, {}}; }
// Yes/No columns: NOT NULL DEFAULT 0 everywhere.
Column yesNo(const QString &name, const QVariant &whenAdded = {})
{
    return Column{name, QStringLiteral("bit"), QStringLiteral("0"), true, whenAdded};
}
Column withDefault(const QString &name, const QString &type, const QString &value)
{
    QString quoted = value;
    quoted.replace('\'', "''");
    return Column{name, type, '\'' + quoted + '\'', false, {}};
}

bool isTextType(const QString &type)
{
    const QString t = type.toLower();
    return t.startsWith(QLatin1String("char")) || t.startsWith(QLatin1String("varchar"));
}

QString columnSql(const Column &c)
{
    QString s = zdb::quoteName(c.name) + ' ' + c.type;
    if (c.notNull)
        s += QStringLiteral(" NOT NULL");
    if (!c.defaultSql.isEmpty())
        s += QStringLiteral(" DEFAULT ") + c.defaultSql;
    // Access compares text without regard to case; NOCASE is the one collation every reader knows.
    if (isTextType(c.type))
        s += QStringLiteral(" COLLATE NOCASE");
    return s;
}

QVector<Table> buildTables()
{
    QVector<Table> out;

    Table fehltage;
    fehltage.name = QStringLiteral("tbl_Fehltage");
    fehltage.columns = {col("S_Id", "varchar(6)"), col("Fehltag", "date"), col("Grund", "char(2)")};
    for (int i = 1; i <= 10; ++i)
        fehltage.columns << col(QStringLiteral("s%1").arg(i, 2, 10, QChar('0')), "char(2)");
    fehltage.columns << col("Bemerkung", "varchar(50)") << col("Eintrag", "date") << col("Edit", "date")
                     << yesNo("entschuldigt") << col("zaehlt", "char(3)");
    // A person's records are looked up by the comparison form of the id as SQLite's own functions
    // make it (vt::idFormSql, exact for every id whose form is ASCII with ä, ö and ü); the few
    // other ids have a small index of their own.
    fehltage.indexes << QStringLiteral("idx_Fehltage_Person(S_Id, Fehltag)")
                     << QStringLiteral("idx_Fehltage_Tag(Fehltag)")
                     << QStringLiteral("idx_Fehltage_IdForm(") + vt::idFormSql(QStringLiteral("S_Id"))
                            + QStringLiteral(", Fehltag)")
                     << QStringLiteral("idx_Fehltage_IdFormSonstige(Fehltag) WHERE ")
                            + vt::idFormSql(QStringLiteral("S_Id")) + QStringLiteral(" GLOB ") + vt::idFormJenseitsGlob();
    out << fehltage;

    Table grund;
    grund.name = QStringLiteral("tbl_Fehlgrund");
    // Existing reasons become valid for pupils and teachers when the columns arrive.
    grund.columns = {col("kurz", "char(2)"), col("lang", "char(50)"), col("farbe", "long"), col("sort", "integer"),
                     yesNo("fuer_Schueler", 1), yesNo("fuer_Lehrer", 1)};
    const qlonglong blau = 0xFF0000;
    const struct { const char *kurz, *lang; int sort; } reasons[] = {
        {"kr", "krank", 100}, {"bf", "befreit", 200}, {"ab", "abgeholt", 300},
        {"bu", "Bus verspätet", 400}, {"vs", "verschlafen", 500}, {"un", "unentschuldigt", 600}};
    for (const auto &r : reasons)
        grund.createRows << QVariantList{QString::fromUtf8(r.kurz), QString::fromUtf8(r.lang), blau, r.sort, 1, 1};
    out << grund;

    Table gemeldet;
    gemeldet.name = QStringLiteral("tbl_KlasseGemeldet");
    gemeldet.columns = {col("klasse", "char(10)"), col("meldetag", "date"), col("meldezeit", "char(5)")};
    out << gemeldet;

    Table personen;
    personen.name = QStringLiteral("tbl_Personen");
    personen.columns = {col("Id", "varchar(6)"), col("Name", "varchar(50)"), col("Vorname", "varchar(50)"),
                        col("Klasse", "varchar(10)"), col("lastChange", "date")};
    personen.indexes << QStringLiteral("idx_Personen_Id(Id)");
    out << personen;

    Table termin;
    termin.name = QStringLiteral("tbl_Termin");
    termin.primaryKey = QStringLiteral("Id");
    termin.columns = {Column{"Id", "INTEGER", {}, false, {}},
                      col("Datum", "date"), col("Klasse", "char(10)"), col("Fach", "char(10)"),
                      col("Lehrkraft", "char(10)"), yesNo("nichtInternet"), col("Bemerkung", "varchar(50)"),
                      col("eingetragenDatum", "date"), col("eingetragenPerson", "char(10)"),
                      col("geloeschtDatum", "date"), col("geloeschtPerson", "char(10)")};
    termin.indexes << QStringLiteral("idx_Termin_Datum(Datum, Klasse)");
    out << termin;

    Table einst;
    einst.name = QStringLiteral("tbl_Einstellungen");
    for (const RightsColumn &r : rightsColumns())
        einst.columns << withDefault(r.column, "varchar(20)", r.creationValue);
    einst.columns << col("Zeugnisart", "char(1)")
                  << col("HTML_L", "char(255)") << col("HTML_S", "char(255)") << col("HTML_S2", "char(255)")
                  << col("KalenderErsterTag", "date") << col("KalenderLetzterTag", "date")
                  << col("KalenderGesperrt", "char(4)") << col("KalenderFreigabeSonstigeTermine", "char(4)")
                  << col("KalenderFreigabeKlassenfahrt", "char(4)") << col("KalenderEinfaerbenTage", "smallint")
                  << col("KalenderEinfaerbenFarbe", "int");
    out << einst;
    return out;
}

} // namespace

const QVector<RightsColumn> &rightsColumns()
{
    static const QVector<RightsColumn> r = {
        {"mnu_Fehltage", "XS LK"}, {"mnu_Kalender", "XS LK"}, {"mnu_Leistungsnachweise", "XS LK"},
        {"mnu_Listen", "XS"}, {"mnu_Datenabgleich", "XS"}, {"mnu_Unterricht", "XS"}};
    return r;
}

const QVector<Table> &tables()
{
    static const QVector<Table> t = buildTables();
    return t;
}

const Table *table(const QString &name)
{
    for (const Table &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const QStringList &requiredTables()
{
    static const QStringList r = {QStringLiteral("tbl_Noten"), QStringLiteral("tbl_Schüler"),
                                  QStringLiteral("tbl_Fachbetreuer"), QStringLiteral("tbl_SQL_LIKE")};
    return r;
}

MissingTable::MissingTable(const QString &table, const QString &germanText)
    : std::runtime_error(germanText.toStdString()), m_table(table), m_text(germanText) {}

QString createSql(const Table &t)
{
    QStringList parts;
    for (const Column &c : t.columns) {
        if (c.name == t.primaryKey)
            parts << zdb::quoteName(c.name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
        else
            parts << columnSql(c);
    }
    return QStringLiteral("CREATE TABLE ") + zdb::quoteName(t.name) + " (" + parts.join(", ") + ')';
}

static void createIndexes(zdb::Db &db, const Table &t)
{
    for (const QString &ix : t.indexes) {
        const QString name = ix.section('(', 0, 0);
        db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 %3").arg(name, zdb::quoteName(t.name), ix.mid(name.size())));
    }
}

static void createTable(zdb::Db &db, const Table &t)
{
    db.exec(createSql(t));
    if (!t.createRows.isEmpty()) {
        QStringList names, marks;
        for (const Column &c : t.columns) {
            names << zdb::quoteName(c.name);
            marks << QStringLiteral("?");
        }
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(zdb::quoteName(t.name), names.join(", "), marks.join(", "));
        for (const QVariantList &row : t.createRows)
            db.exec(sql, row);
    }
}

static void completeTable(zdb::Db &db, const Table &t)
{
    const QStringList present = db.columnsOf(t.name);
    for (const Column &c : t.columns) {
        if (present.contains(c.name, Qt::CaseInsensitive))
            continue;
        db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(zdb::quoteName(t.name), columnSql(c)));
        if (c.valueWhenAdded.isValid())
            db.exec(QStringLiteral("UPDATE %1 SET %2 = ?").arg(zdb::quoteName(t.name), zdb::quoteName(c.name)),
                    {c.valueWhenAdded});
    }
}

// Whether the table's key column is its INTEGER PRIMARY KEY, the number SQLite gives a new row.
static bool keyInPlace(zdb::Db &db, const Table &t)
{
    const zdb::Result r = db.query(QStringLiteral("SELECT name, upper(type), pk FROM pragma_table_info(?)"), {t.name});
    bool key = false;
    int keys = 0;
    for (const QVariantList &row : r.rows) {
        keys += row[2].toInt() > 0;
        if (row[0].toString().compare(t.primaryKey, Qt::CaseInsensitive) == 0)
            key = row[2].toInt() == 1 && row[1].toString() == QLatin1String("INTEGER");
    }
    return key && keys == 1;
}

// Rebuilds a table whose key column is not its key (a file converted from Access declares an
// AutoNumber a plain INTEGER): every row is kept with its columns; a row keeps its id when that is
// a whole number above 0 that no earlier row holds, the others are given new ones. Runs inside the
// upgrade's transaction, so another workstation starting at the same moment finds it done.
static void rebuildWithKey(zdb::Db &db, const Table &t)
{
    const zdb::Result info = db.query(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), {t.name});
    Table neu = t;
    QStringList von, nach; // the old table's columns and the new table's, the key left out
    QStringList werte;     // the values copied: Null becomes the default in a column that takes no Null
    QString schluessel;
    for (const QVariantList &row : info.rows) {
        const QString name = row[0].toString();
        if (name.compare(t.primaryKey, Qt::CaseInsensitive) == 0) {
            schluessel = zdb::quoteName(name);
            continue;
        }
        const Column *c = nullptr;
        for (const Column &k : t.columns)
            if (k.name.compare(name, Qt::CaseInsensitive) == 0)
                c = &k;
        if (!c) // a column of the school's own stays, with its declared type
            neu.columns << Column{name, row[1].toString(), {}, false, {}};
        von << zdb::quoteName(name);
        nach << zdb::quoteName(c ? c->name : name);
        werte << (c && c->notNull && !c->defaultSql.isEmpty()
                      ? QStringLiteral("coalesce(%1, %2)").arg(von.last(), c->defaultSql)
                      : von.last());
    }
    neu.name = t.name + QStringLiteral("_neu");
    db.exec(QStringLiteral("DROP TABLE IF EXISTS ") + zdb::quoteName(neu.name));
    db.exec(createSql(neu));
    const QString gueltig = QStringLiteral("coalesce(CAST(%1 AS INTEGER) > 0 AND trim(CAST(%1 AS TEXT)) = "
                                           "CAST(CAST(%1 AS INTEGER) AS TEXT), 0)")
                                .arg(schluessel);
    const QString zeilen =
        QStringLiteral("(SELECT CAST(%1 AS INTEGER) AS zandrel_id, %2 AS zandrel_gueltig, row_number() OVER "
                       "(PARTITION BY CASE WHEN %2 THEN CAST(%1 AS INTEGER) END ORDER BY rowid) AS zandrel_nr, "
                       "rowid AS zandrel_rowid%3 FROM %4)")
            .arg(schluessel, gueltig, von.isEmpty() ? QString() : QStringLiteral(", ") + von.join(QStringLiteral(", ")),
                 zdb::quoteName(t.name));
    const QString spalten = werte.join(QStringLiteral(", "));
    const QString ziel = nach.join(QStringLiteral(", "));
    const QString komma = von.isEmpty() ? QString() : QStringLiteral(", ");
    // First the rows that keep their id, then the others, each in the order they were written.
    db.exec(QStringLiteral("INSERT INTO %1 (%2%3%4) SELECT zandrel_id%3%5 FROM %6 "
                           "WHERE zandrel_gueltig AND zandrel_nr = 1 ORDER BY zandrel_rowid")
                .arg(zdb::quoteName(neu.name), zdb::quoteName(t.primaryKey), komma, ziel, spalten, zeilen));
    if (!von.isEmpty())
        db.exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 "
                               "WHERE NOT (zandrel_gueltig AND zandrel_nr = 1) ORDER BY zandrel_rowid")
                    .arg(zdb::quoteName(neu.name), ziel, spalten, zeilen));
    db.exec(QStringLiteral("DROP TABLE ") + zdb::quoteName(t.name));
    db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(zdb::quoteName(neu.name), zdb::quoteName(t.name)));
}

void DatenbankAktualisieren(zdb::Db &db, const QDate &today)
{
    for (const QString &name : requiredTables()) {
        if (!db.tableExists(name))
            throw MissingTable(name, QStringLiteral("In der Datenbank \"%1\" fehlt die Tabelle \"%2\".\r"
                                                    "Zandrel kann ohne diese Tabelle nicht gestartet werden.\r"
                                                    "Bitte wenden Sie sich an den Administrator.")
                                         .arg(db.path(), name));
    }

    // Another workstation may be upgrading at this moment: take the write lock first and
    // look at the file again inside the transaction.
    zdb::WriteTransaction tx(db);
    for (const Table &t : tables()) {
        if (!db.tableExists(t.name)) {
            createTable(db, t);
        } else {
            completeTable(db, t);
            if (!t.primaryKey.isEmpty() && !keyInPlace(db, t))
                rebuildWithKey(db, t);
        }
        createIndexes(db, t);
    }

    if (db.scalar(QStringLiteral("SELECT count(*) FROM tbl_Einstellungen")).toLongLong() == 0)
        db.exec(QStringLiteral("INSERT INTO tbl_Einstellungen DEFAULT VALUES"));

    // Class-has-reported marks count for one day only.
    db.exec(QStringLiteral("DELETE FROM tbl_KlasseGemeldet WHERE meldetag IS NULL OR substr(meldetag, 1, 10) <> ? "
                           "OR meldezeit IS NULL OR trim(meldezeit) = ''"),
            {zdb::isoDate(today)});
    tx.commit();
}

} // namespace schema
