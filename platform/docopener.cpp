#include "platform/docopener.h"

#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

namespace docs {

namespace {
std::function<bool(const QString &)> &opener()
{
    static std::function<bool(const QString &)> f;
    return f;
}
// How long the desktop's opener may take to answer. One still running after it has started the
// application in its own foreground: the file was taken.
constexpr int OpenerAntwortMs = 3000;

// Runs xdg-open detached (the application outlives the program) and reads its exit status, which
// says whether an application took the file; Qt's own hand-over only tells that it was started.
Handover mitXdgOpen(const QString &xdgOpen, const QString &path)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? Handover::Opened : Handover::Failed;
    const QString status = dir.filePath(QStringLiteral("status"));
    const QString skript = QStringLiteral("exec </dev/null >/dev/null 2>&1; \"$0\" \"$1\"; "
                                          "echo $? > \"$2.neu\" && mv \"$2.neu\" \"$2\"");
    if (!QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), skript, xdgOpen, path, status}))
        return Handover::Failed;
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < OpenerAntwortMs) {
        QFile f(status);
        if (f.open(QIODevice::ReadOnly))
            return f.readAll().trimmed() == "0" ? Handover::Opened : Handover::Failed;
        QThread::msleep(20);
    }
    return Handover::Opened;
}

} // namespace

Handover handOver(const QString &path)
{
    if (opener())
        return opener()(path) ? Handover::Opened : Handover::Failed;
    if (qEnvironmentVariable("ZANDREL_NO_OPEN") == QLatin1String("1"))
        return Handover::NotOpened;
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!xdgOpen.isEmpty())
        return mitXdgOpen(xdgOpen, path);
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

} // namespace docs
