#include "winsv/sddf1dialog.h"

#include <QFileDialog>

namespace winsv {

QString sddf1Dialog(QWidget *parent, bool alleDateien)
{
    QFileDialog d(parent);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setDefaultSuffix(QStringLiteral("df1"));
    QStringList filter{QStringLiteral("Omnis-Dateien (*.df1)")};
    if (alleDateien)
        filter << QStringLiteral("alle Dateien (*)");
    d.setNameFilters(filter);
    d.selectFile(QStringLiteral("sd.df1"));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return QString();
    return d.selectedFiles().first();
}

} // namespace winsv
