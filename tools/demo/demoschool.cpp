#include "tools/demo/demoschool.h"

#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "tools/demo/writers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace demo {

namespace {

QString makeDir(const QString &path)
{
    if (!QDir().mkpath(path))
        throw std::runtime_error(
            QStringLiteral("Der Ordner \"%1\" kann nicht angelegt werden.").arg(path).toStdString());
    return QDir(path).absolutePath();
}

void freshFile(const QString &path)
{
    for (const QString &f : {path, path + QStringLiteral("-journal")})
        if (QFile::exists(f) && !QFile::remove(f))
            throw std::runtime_error(
                QStringLiteral("Die Datei \"%1\" kann nicht ersetzt werden.").arg(f).toStdString());
}

} // namespace

QVector<DemoUser> demoUsers()
{
    return {
        {QStringLiteral("X"), QStringLiteral("admin"), QStringLiteral("Passwort"), QStringLiteral("Administrator")},
        {QStringLiteral("XS"), QStringLiteral("sekretariat"), QStringLiteral("Passwort"), QStringLiteral("Sekretariat")},
        {QStringLiteral("Bra"), QStringLiteral("klasse5a"), QStringLiteral("Passwort"),
         QStringLiteral("Klassenleiter der ersten Klasse (5a), Deutsch und Geschichte")},
        {QStringLiteral("Hub"), QStringLiteral("mathe"), QStringLiteral("pwdh"),
         QStringLiteral("Fachlehrerin Mathematik/Physik und Fachbetreuerin M und Ph")},
        {QStringLiteral("Wei"), QString::fromUtf8("Grüße"), QStringLiteral("Passwort"),
         QStringLiteral("Fachlehrerin Englisch/Erdkunde, Passwort mit Umlaut")},
        {QStringLiteral("Lor"), QString::fromUtf8("Käse9"), QStringLiteral("pwdh"),
         QStringLiteral("Fachlehrer Musik/Kunst, Hash eines Passworts mit Umlaut")},
        {QStringLiteral("Ste"), QString(), QString(), QStringLiteral("Lehrkraft ohne Passwort (nicht in der Anmeldeliste)")},
        {QStringLiteral("Kais"), QStringLiteral("lehrer"), QStringLiteral("Passwort"),
         QStringLiteral("Referendarin (vierstelliges Kürzel)")},
    };
}

Result generate(const Options &options)
{
    if (options.out.trimmed().isEmpty())
        throw std::runtime_error("Kein Zielordner angegeben (--out).");
    Result res;
    const QString out = makeDir(options.out);
    const QString daten = makeDir(out + QStringLiteral("/daten"));
    const QString winsv = makeDir(out + QStringLiteral("/winsv"));
    const QString xdg = makeDir(out + QStringLiteral("/xdg/Zandrel"));
    makeDir(out + QStringLiteral("/config"));
    res.programFolder = makeDir(out + QStringLiteral("/programm"));
    const QString sql = makeDir(res.programFolder + QStringLiteral("/SQL"));
    res.nmFile = daten + QStringLiteral("/nmdaten04.mdb");
    res.ownFile = daten + QStringLiteral("/Zandrel.mdb");
    res.holidayFile = daten + QStringLiteral("/Zandrel Ferien.txt");
    res.winsvFile = winsv + QStringLiteral("/sd.df1");
    res.iniFile = xdg + QStringLiteral("/nmSV.ini");
    for (const QString &f : {res.nmFile, res.ownFile, res.winsvFile})
        freshFile(f);

    School s;
    buildSchool(s, options);
    buildAbsences(s);
    buildEntries(s);
    planDifferences(s, res);

    {
        zdb::Db db;
        db.create(res.nmFile);
        writeGradeManager(s, db, res);
    }
    {
        zdb::Db db;
        db.create(res.ownFile);
        writeOwnDatabase(s, db, res);
    }
    {
        zdb::Db db;
        db.create(res.winsvFile);
        writeWinSV(s, db, res);
    }
    writeHolidayFile(s, res.holidayFile);
    writeIni(s, res, res.iniFile);
    writeSampleQueries(sql);
    writeExemptionTemplate(s, res.programFolder);

    res.today = s.today;
    res.schoolYearStart = s.schoolYearStart;
    res.firstSchoolDay = s.firstSchoolDay;
    res.pupils = int(s.pupils.size());
    res.teachers = int(s.teachers.size());
    res.classes = int(s.klassen.size());
    res.users = demoUsers();
    return res;
}

void useFiles(const Result &res)
{
    mdl::DatenPfad = QFileInfo(res.nmFile).absolutePath() + QLatin1Char('/');
    mdl::NMDatei = QFileInfo(res.nmFile).fileName();
    mdl::NMDateiParameter.clear();
    mdl::PfadSDDF1 = res.winsvFile;
}

} // namespace demo
