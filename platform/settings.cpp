#include "platform/settings.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

QString configHome()
{
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (home.isEmpty())
        home = QDir::home().filePath(QStringLiteral(".config"));
    return home;
}

} // namespace

namespace settings {

// The file is looked up at every call: tests and the demo point XDG_CONFIG_HOME elsewhere.
static QString storeFile() { return QDir(configHome()).filePath(QStringLiteral("Zandrel/Zandrel.ini")); }

QString getSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings s(storeFile(), QSettings::IniFormat);
    const QVariant v = s.value(section + '/' + key);
    return v.isValid() ? v.toString() : defaultValue;
}

void saveSetting(const QString &section, const QString &key, const QString &value)
{
    QSettings s(storeFile(), QSettings::IniFormat);
    s.setValue(section + '/' + key, value);
    s.sync();
}

} // namespace settings

namespace registry {

static QStringList iniFiles()
{
    QStringList out;
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    for (const QString &d : dirs.split(':', Qt::SkipEmptyParts))
        out << QDir(d).filePath(QStringLiteral("Zandrel/nmSV.ini"));
    out << QDir(configHome()).filePath(QStringLiteral("Zandrel/nmSV.ini"));
    return out;
}

// Values are taken as written (paths may hold commas, backslashes and blanks); only one pair
// of enclosing double quotes is removed. Group and key names compare without regard to case,
// as registry names do.
static QString readIni(const QString &file, const QString &group, const QString &name, bool *found)
{
    *found = false;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString current;
    // A file written on Windows is in its ANSI code page: what is not valid UTF-8 is Windows-1252.
    const QStringList lines = textcodec::decodeUtf8OrWindows1252(f.readAll()).split('\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            current = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const int eq = int(line.indexOf('='));
        if (eq <= 0 || current.compare(group, Qt::CaseInsensitive) != 0)
            continue;
        if (line.left(eq).trimmed().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QString v = line.mid(eq + 1).trimmed();
        if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
            v = v.mid(1, v.size() - 2);
        *found = true;
        return v;
    }
    return {};
}

static QString lookup(const QString &group, const QString &name)
{
    for (const QString &f : iniFiles()) {
        bool found = false;
        const QString v = readIni(f, group, name, &found);
        if (found && !v.isEmpty())
            return v;
    }
    return QString();
}

QString nmValue(const QString &name) { return lookup(QStringLiteral("nmSV"), name); }
QStringList nmFiles() { return iniFiles(); }
QString installationValue(const QString &name) { return lookup(QStringLiteral("Zandrel"), name); }

} // namespace registry
