#include "platform/docopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace docs {

bool openDocument(const QString &path)
{
    if (qEnvironmentVariable("ZANDREL_NO_OPEN") == QLatin1String("1"))
        return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool TestForDLL(const QString &) { return true; }

} // namespace docs
