#include "tools/demo/nmschema.h"

#include "platform/db.h"

namespace nmschema {

namespace {

Column text(const QString &name, int size, bool nocase = true)
{
    Column c{name, QStringLiteral("VARCHAR(%1)").arg(size)};
    c.nocase = nocase;
    return c;
}
Column memo(const QString &name, bool nocase = true)
{
    Column c{name, QStringLiteral("TEXT")};
    c.nocase = nocase;
    return c;
}
Column integer(const QString &name) { return Column{name, QStringLiteral("INTEGER")}; }
Column dbl(const QString &name) { return Column{name, QStringLiteral("DOUBLE")}; }
Column single(const QString &name) { return Column{name, QStringLiteral("REAL")}; }
Column date(const QString &name) { return Column{name, QStringLiteral("DATE")}; }
Column yesNo(const QString &name)
{
    Column c{name, QStringLiteral("BIT")};
    c.notNull = true;
    c.defaultValue = QStringLiteral("0");
    return c;
}
Column key(Column c)
{
    c.primaryKey = true;
    return c;
}
Column counter(const QString &name) { return key(integer(name)); }

void addTestFields(QVector<Column> &cols, Layout layout, bool grades)
{
    for (const QString &f : testFields(layout))
        cols << (grades ? text(f, 5) : dbl(f));
}

} // namespace

QString Column::definition() const
{
    QString s = zdb::quoteName(name) + ' ' + type;
    if (primaryKey)
        s += QStringLiteral(" PRIMARY KEY");
    if (notNull)
        s += QStringLiteral(" NOT NULL");
    if (!defaultValue.isEmpty())
        s += QStringLiteral(" DEFAULT ") + defaultValue;
    if (nocase)
        s += QStringLiteral(" COLLATE NOCASE");
    return s;
}

const Column *Table::column(const QString &n) const
{
    for (const Column &c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QStringList Table::columnNames() const
{
    QStringList out;
    for (const Column &c : columns)
        out << c.name;
    return out;
}

QString Table::createSql() const
{
    QStringList defs;
    for (const Column &c : columns)
        defs << c.definition();
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(zdb::quoteName(name), defs.join(QStringLiteral(", ")));
}

QString Index::createSql() const
{
    QStringList cols;
    for (const QString &c : columns)
        cols << zdb::quoteName(c);
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(zdb::quoteName(name), zdb::quoteName(table), cols.join(QStringLiteral(", ")));
}

QStringList testFields(Layout layout)
{
    QStringList f;
    const int sa = layout == Layout::Current ? 6 : 4;
    for (int i = 1; i <= sa; ++i)
        f << QStringLiteral("sa%1").arg(i);
    for (int i = 1; i <= 4; ++i)
        f << QStringLiteral("ka%1").arg(i);
    for (int i = 1; i <= 8; ++i)
        f << QStringLiteral("ex%1").arg(i);
    return f;
}

int maxSpalte(Layout layout) { return layout == Layout::Current ? 17 : 15; }

QVector<Table> gradeManagerTables(Layout layout)
{
    QVector<Table> t;

    // One row: the school and the grade manager's lock flag (a locked database refuses logins).
    t << Table{QStringLiteral("SYS_Settings"),
               {counter(QStringLiteral("ID")), text(QStringLiteral("Schulnummer"), 10),
                text(QStringLiteral("Schulname"), 100), text(QStringLiteral("SchulnameSub"), 100),
                text(QStringLiteral("Schuljahr"), 9), yesNo(QStringLiteral("Gesperrt"))}};

    t << Table{QStringLiteral("Lehrkräfte"),
               {key(text(QStringLiteral("Kürzel"), 10)), text(QStringLiteral("Name"), 50),
                text(QStringLiteral("Vorname"), 50), text(QStringLiteral("Dienstbezeichnung"), 50),
                text(QStringLiteral("Geschlecht"), 1),
                // Passwort compares exactly (case-sensitive); pwdh is hex and compared by the program.
                text(QStringLiteral("Passwort"), 50, false), text(QStringLiteral("pwdh"), 50)}};

    t << Table{QStringLiteral("Schüler"),
               {counter(QStringLiteral("SchülerNr")), text(QStringLiteral("Name"), 50),
                text(QStringLiteral("Vorname"), 50), text(QStringLiteral("Klasse"), 10),
                text(QStringLiteral("Geschlecht"), 1), date(QStringLiteral("Geburtsdatum")),
                text(QStringLiteral("Ausbildungsrichtung"), 10), text(QStringLiteral("Bekenntnis"), 10),
                integer(QStringLiteral("WinSVSnr")), yesNo(QStringLiteral("LRS")),
                yesNo(QStringLiteral("Legasthenie"))}};

    t << Table{QStringLiteral("Klassen"),
               {key(text(QStringLiteral("Klasse"), 10)), text(QStringLiteral("Klassenleiter"), 10)}};

    QVector<Column> un{counter(QStringLiteral("Index")), text(QStringLiteral("Klasse"), 10),
                       text(QStringLiteral("Fach"), 20), text(QStringLiteral("Lehrkraft"), 10),
                       dbl(QStringLiteral("AnzStd")), text(QStringLiteral("Koppel"), 10),
                       yesNo(QStringLiteral("Archiv"))};
    addTestFields(un, layout, false); // weights
    t << Table{QStringLiteral("Unterricht"), un};

    QVector<Column> no{counter(QStringLiteral("ID")), integer(QStringLiteral("SchülerNr")),
                       integer(QStringLiteral("UIndex")), yesNo(QStringLiteral("Archiv"))};
    addTestFields(no, layout, true); // grades as text ("2-", "1+")
    t << Table{QStringLiteral("Noten"), no};

    t << Table{QStringLiteral("LNW"),
               {counter(QStringLiteral("ID")), integer(QStringLiteral("UIndex")),
                integer(QStringLiteral("Spalte")), text(QStringLiteral("Notenart"), 20),
                text(QStringLiteral("Bemerkung"), 50), dbl(QStringLiteral("Schnitt")),
                integer(QStringLiteral("Zeit")), date(QStringLiteral("Geschrieben")),
                date(QStringLiteral("Rückgabe")), date(QStringLiteral("Abgabe")),
                integer(QStringLiteral("LfdNr"))}};

    t << Table{QStringLiteral("Adressen"),
               {counter(QStringLiteral("ID")), integer(QStringLiteral("SchülerNr")),
                text(QStringLiteral("Anrede"), 30), text(QStringLiteral("Straße"), 50),
                text(QStringLiteral("PLZ"), 10), text(QStringLiteral("Ort"), 50),
                text(QStringLiteral("Telefon"), 30), yesNo(QStringLiteral("gilt1")),
                yesNo(QStringLiteral("gilt2")), text(QStringLiteral("ErzName1"), 50),
                text(QStringLiteral("ErzRufname1"), 50), text(QStringLiteral("ErzTelefon1"), 30),
                text(QStringLiteral("ErzArt1"), 20), text(QStringLiteral("ErzName2"), 50),
                text(QStringLiteral("ErzRufname2"), 50), text(QStringLiteral("ErzTelefon2"), 30),
                text(QStringLiteral("ErzArt2"), 20), yesNo(QStringLiteral("Hauptansprechpartner"))}};

    QVector<Column> fe{counter(QStringLiteral("schülernr"))};
    for (const char *m : {"jan", "feb", "märz", "april", "mai", "juni", "juli", "aug", "sept", "okt", "nov", "dez"})
        fe << single(QString::fromUtf8(m));
    t << Table{QStringLiteral("fehltage"), fe};

    t << Table{QStringLiteral("Fächer"),
               {key(text(QStringLiteral("FachKürzel"), 10)), text(QStringLiteral("Bezeichnung"), 50),
                integer(QStringLiteral("LfdNr"))}};
    t << Table{QStringLiteral("FächerGym"),
               {key(text(QStringLiteral("FachKürzel"), 10)), text(QStringLiteral("Bezeichnung"), 50),
                integer(QStringLiteral("LfdNr"))}};

    // Report remark and activities per pupil (written by the grade views).
    t << Table{QStringLiteral("ZD1"), {counter(QStringLiteral("SchülerNr")), memo(QStringLiteral("Bemerkung"))}};
    t << Table{QStringLiteral("ZD2"), {counter(QStringLiteral("SchülerNr")), memo(QStringLiteral("Aktivitäten"))}};

    t << Table{QStringLiteral("Verweise"),
               {counter(QStringLiteral("ID")), integer(QStringLiteral("SchülerNr")),
                date(QStringLiteral("Datum")), text(QStringLiteral("Art"), 30), memo(QStringLiteral("Grund")),
                text(QStringLiteral("Lehrkraft"), 10)}};
    return t;
}

QVector<Index> gradeManagerIndexes()
{
    return {Index{QStringLiteral("idx_Noten_UIndex"), QStringLiteral("Noten"), {QStringLiteral("UIndex")}},
            Index{QStringLiteral("idx_LNW_UIndex"), QStringLiteral("LNW"), {QStringLiteral("UIndex")}}};
}

void createGradeManager(zdb::Db &db, Layout layout, bool withIndexes)
{
    createTables(db, gradeManagerTables(layout), withIndexes ? gradeManagerIndexes() : QVector<Index>{});
}

QVector<Table> ownPreparedTables()
{
    QVector<Table> t;
    // Participation and conduct grades, kinds 1..8 per pupil and subject; 0 = no grade.
    QVector<Column> noten{integer(QStringLiteral("SchülerNr")), text(QStringLiteral("Fach"), 10),
                          text(QStringLiteral("Lehrkraft"), 10)};
    for (int i = 1; i <= 8; ++i) {
        Column c = integer(QStringLiteral("Note%1").arg(i));
        c.notNull = true;
        c.defaultValue = QStringLiteral("0");
        noten << c;
    }
    t << Table{QStringLiteral("tbl_Noten"), noten};
    t << Table{QStringLiteral("tbl_Schüler"),
               {integer(QStringLiteral("SchülerNr")), memo(QStringLiteral("Bemerkung")),
                memo(QStringLiteral("BemerkungAlt")), memo(QStringLiteral("Aktivitäten"))}};
    t << Table{QStringLiteral("tbl_Fachbetreuer"),
               {text(QStringLiteral("Fachkürzel"), 10), text(QStringLiteral("Fachbetreuer"), 100)}};
    t << Table{QStringLiteral("tbl_SQL_LIKE"), {text(QStringLiteral("Klassenfilter"), 50)}};
    return t;
}

void createOwnPrepared(zdb::Db &db) { createTables(db, ownPreparedTables()); }

QStringList zeugnisFields()
{
    QStringList f;
    for (int i = 1; i <= 90; ++i)
        f << QStringLiteral("Z_%1").arg(i, 2, 10, QLatin1Char('0'));
    return f;
}

QVector<Table> winsvTables()
{
    auto t = [](const QString &n) { return text(n, 50, false); };
    QVector<Table> out;
    QVector<Column> s{key(text(QStringLiteral("_SCHUELER_ID"), 10, false))};
    for (const char *n : {"KLASSE", "FAMILIENNAME", "RUFNAME", "GESCHLECHT", "AUSBILDUNGSR"})
        s << t(QString::fromLatin1(n));
    s << date(QStringLiteral("GEBURTSDATUM")) << date(QStringLiteral("AUSTR_DATUM"));
    for (const char *n : {"ANSCHR1_STR", "ANSCHR1_PLZ", "ANSCHR1_ORT", "ANSCHR1_TEL", "ANSCHR1_FUER1",
                          "ANSCHR1_FUER2", "ANSCHR2_STR", "ANSCHR2_PLZ", "ANSCHR2_ORT", "ANSCHR2_TEL",
                          "ANSCHR2_FUER1", "ANSCHR2_FUER2", "LRS_SCHWAECHE", "LRS_STOERUNG",
                          "VORJAHR_KLASSE", "JAHRGANGSSTUFE"})
        s << t(QString::fromLatin1(n));
    out << Table{QStringLiteral("DSchueler"), s};
    out << Table{QStringLiteral("DKlassen"),
                 {key(t(QStringLiteral("K_NAME"))), t(QStringLiteral("K_LEITER")),
                  t(QStringLiteral("K_LEITER_TITEL")), t(QStringLiteral("K_LEITER_GESCHL"))}};
    QVector<Column> z{key(text(QStringLiteral("_Z_SCHUELER_ID"), 10, false))};
    for (const QString &f : zeugnisFields())
        z << text(f, 10, false);
    out << Table{QStringLiteral("DZeugnis"), z};
    return out;
}

void createWinSV(zdb::Db &db) { createTables(db, winsvTables()); }

const Table *findTable(const QVector<Table> &tables, const QString &name)
{
    for (const Table &t : tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

void createTables(zdb::Db &db, const QVector<Table> &tables, const QVector<Index> &indexes)
{
    zdb::WriteTransaction tx(db);
    for (const Table &t : tables)
        db.exec(t.createSql());
    for (const Index &i : indexes)
        db.exec(i.createSql());
    tx.commit();
}

} // namespace nmschema
