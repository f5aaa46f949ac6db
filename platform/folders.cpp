#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>

namespace folders {

QString programFolder()
{
    QString home = qEnvironmentVariable("ZANDREL_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    return QCoreApplication::applicationDirPath();
}

QString tempFolder() { return QDir::tempPath(); }

QString join(const QString &folder, const QString &name)
{
    QString n = name;
    n.replace('\\', '/');
    while (n.startsWith('/'))
        n.remove(0, 1);
    if (folder.isEmpty())
        return n;
    QString f = folder;
    f.replace('\\', '/');
    return f.endsWith('/') ? f + n : f + '/' + n;
}

QString withSeparator(const QString &folder)
{
    if (folder.isEmpty())
        return folder;
    QString f = folder;
    while (f.size() > 1 && (f.endsWith('/') || f.endsWith('\\')))
        f.chop(1);
    return f + '/';
}

} // namespace folders
