#include "records/speicherdialog.h"
#include "platform/folders.h"

#include <QDir>
#include <QFileDialog>

namespace speichern {

QString dialogZeigen(QWidget *parent, const Antwort &antwort, const QString &startOrdner, const QString &dateiname,
                     const QString &filter)
{
    if (antwort)
        return antwort(startOrdner, dateiname, filter);
    const QString gewaehlt = QFileDialog::getSaveFileName(parent, QStringLiteral("Speichern unter"),
                                                          folders::join(startOrdner, dateiname), filter, nullptr,
                                                          QFileDialog::DontConfirmOverwrite);
    return gewaehlt.isEmpty() ? dateiname : gewaehlt;
}

QString startOrdner(const QString &gespeichert)
{
    if (gespeichert.isEmpty() || gespeichert == QLatin1String("C:\\"))
        return QDir::homePath();
    return gespeichert;
}

} // namespace speichern
