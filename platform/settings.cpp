#include "platform/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace settings {

static QSettings &store()
{
    static QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Zandrel"), QStringLiteral("Zandrel"));
    return s;
}

QString getSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings &s = store();
    s.sync();
    return s.value(section + '/' + key, defaultValue).toString();
}

void saveSetting(const QString &section, const QString &key, const QString &value)
{
    QSettings &s = store();
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
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (home.isEmpty())
        home = QDir::home().filePath(QStringLiteral(".config"));
    out << QDir(home).filePath(QStringLiteral("Zandrel/nmSV.ini"));
    return out;
}

static QString lookup(const QString &group, const QString &name)
{
    for (const QString &f : iniFiles()) {
        if (!QFileInfo::exists(f))
            continue;
        QSettings s(f, QSettings::IniFormat);
        QString v = s.value(group + '/' + name).toString();
        if (!v.isEmpty())
            return v;
    }
    return QString();
}

QString nmValue(const QString &name) { return lookup(QStringLiteral("nmSV"), name); }
QString installationValue(const QString &name) { return lookup(QStringLiteral("Zandrel"), name); }

} // namespace registry
