#include "platform/docopener.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace docs {

namespace {
std::function<bool(const QString &)> &opener()
{
    static std::function<bool(const QString &)> f;
    return f;
}
} // namespace

Handover handOver(const QString &path)
{
    if (opener())
        return opener()(path) ? Handover::Opened : Handover::Failed;
    if (qEnvironmentVariable("ZANDREL_NO_OPEN") == QLatin1String("1"))
        return Handover::NotOpened;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? Handover::Opened : Handover::Failed;
}

QString handOverText(Handover result, const QString &success, const QString &path)
{
    const QString datei = QStringLiteral("\rDatei: ") + QDir::toNativeSeparators(path);
    switch (result) {
    case Handover::Opened:
        return success;
    case Handover::NotOpened:
        return QStringLiteral("Das Dokument wurde gespeichert, aber nicht geöffnet (ZANDREL_NO_OPEN=1).") + datei;
    case Handover::Failed:
        break;
    }
    return QStringLiteral("Das Dokument wurde gespeichert, konnte aber nicht geöffnet werden: Keine Anwendung "
                          "hat es übernommen. Bitte öffnen Sie die Datei selbst.") +
           datei;
}

ScopedOpener::ScopedOpener(std::function<bool(const QString &)> open) : m_previous(opener())
{
    opener() = std::move(open);
}

ScopedOpener::~ScopedOpener() { opener() = std::move(m_previous); }

bool TestForDLL(const QString &) { return true; }

} // namespace docs
