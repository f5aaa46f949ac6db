#include "platform/speicherdialog.h"
#include "platform/folders.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace speichern {

QString dateiWaehlen(QWidget *parent, const QString &startOrdner, const QString &dateiname, const QString &filter,
                     const QString &titel)
{
    return QFileDialog::getSaveFileName(parent, titel, folders::join(startOrdner, dateiname), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString dialogZeigen(QWidget *parent, const Antwort &antwort, const QString &startOrdner, const QString &dateiname,
                     const QString &filter)
{
    if (antwort)
        return antwort(startOrdner, dateiname, filter);
    const QString gewaehlt = dateiWaehlen(parent, startOrdner, dateiname, filter);
    return gewaehlt.isEmpty() ? dateiname : gewaehlt;
}

QString startOrdner(const QString &gespeichert)
{
    if (gespeichert.isEmpty() || gespeichert == QLatin1String("C:\\") || !QFileInfo(gespeichert).isDir())
        return QDir::homePath();
    return gespeichert;
}

QString startOrdnerVonDatei(const QString &letzterPfad)
{
    const int i = int(std::max(letzterPfad.lastIndexOf(QLatin1Char('/')), letzterPfad.lastIndexOf(QLatin1Char('\\'))));
    return startOrdner(i > 0 ? letzterPfad.left(i) : QString());
}

} // namespace speichern
