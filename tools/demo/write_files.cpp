// The text files of the demo school: holiday periods, the INI stand-in for the registry
// values, and sample query files.
#include "tools/demo/writers.h"

#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <stdexcept>

namespace demo {

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(path).toStdString());
}

} // namespace

void writeHolidayFile(const School &s, const QString &path)
{
    QString t = QStringLiteral("# Ferien der Demo-Schule (eine Zeile je Zeitraum: erster Tag;letzter Tag;Name)\r\n");
    for (const Holiday &h : s.holidays)
        t += h.von.toString(QStringLiteral("dd.MM.yyyy")) + ';' + h.bis.toString(QStringLiteral("dd.MM.yyyy")) + ';' +
             h.name + QStringLiteral("\r\n");
    writeBytes(path, t.toUtf8());
}

void writeIni(const School &s, const Result &res, const QString &path)
{
    QFile::remove(path);
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("nmSV"));
    ini.setValue(QStringLiteral("dbFileName"), QFileInfo(res.nmFile).fileName());
    ini.setValue(QStringLiteral("dbFilePath"), QFileInfo(res.nmFile).absolutePath());
    ini.setValue(QStringLiteral("WinSDDB"), res.winsvFile);
    ini.endGroup();
    ini.beginGroup(QStringLiteral("Zandrel"));
    ini.setValue(QStringLiteral("WunschzettelSchulnummer"), s.opt.schulnummer);
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError)
        throw std::runtime_error(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(path).toStdString());
}

void writeSampleQueries(const QString &sqlFolder)
{
    // Saved as the program saves them: Windows-1252, CR LF, comment before the SELECT.
    const QList<QPair<QString, QString>> files = {
        {QStringLiteral("Klassenliste 5. Jahrgangsstufe.SQL"),
         QStringLiteral("Alle Schülerinnen und Schüler der 5. Klassen mit Geburtsdatum\r\n"
                        "SELECT Klasse, Name, Vorname, Geburtsdatum\r\nFROM Schüler\r\n"
                        "WHERE Klasse Like '5*'\r\nORDER BY Klasse, Name, Vorname;\r\n")},
        {QStringLiteral("Lehrkräfte ohne Passwort.SQL"),
         QStringLiteral("Lehrkräfte, die sich nicht anmelden können\r\n"
                        "SELECT Kürzel, Name, Vorname, Dienstbezeichnung\r\nFROM Lehrkräfte\r\n"
                        "WHERE (Passwort Is Null Or Passwort='') And (pwdh Is Null Or pwdh='')\r\n"
                        "ORDER BY Name, Vorname;\r\n")}};
    for (const auto &f : files)
        writeBytes(QDir(sqlFolder).filePath(f.first), textcodec::toWindows1252(f.second));
}

} // namespace demo
