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

QString tempFolder()
{
    // Qt gives "" for a temporary folder that does not exist: name it anyway, so that a write
    // reports the missing folder instead of landing in the working folder.
    const QString t = QDir::tempPath();
    if (!t.isEmpty())
        return t;
    const QString env = qEnvironmentVariable("TMPDIR");
    return QDir::cleanPath(env.isEmpty() ? QStringLiteral("/tmp") : env);
}

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
