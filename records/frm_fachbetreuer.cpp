#include "records/frm_fachbetreuer.h"

#include "records/fachbetreuer.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/valuetext.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frm_Fachbetreuer::frm_Fachbetreuer(QWidget *parent) : ChildWindow(QStringLiteral("frm_Fachbetreuer"), parent)
{
    setWindowTitle(QStringLiteral("Fachbetreuer einstellen"));
    fg = new VSGrid(this);
    fg->setObjectName(QStringLiteral("fg"));
    fg->setCols(2);
    fg->setRows(1);
    fg->setFixedRows(1);
    fg->setFixedCols(0);
    fg->setEditable(true);
    txtFach = new QLineEdit(this);
    txtFach->setObjectName(QStringLiteral("txtFach"));
    cmdFachHinzu = new QPushButton(QStringLiteral("Fach anfügen"), this);
    cmdFachHinzu->setObjectName(QStringLiteral("cmdFachHinzu"));
    cmdFachWeg = new QPushButton(QStringLiteral("akt. Fach löschen"), this);
    cmdFachWeg->setObjectName(QStringLiteral("cmdFachWeg"));
    Label1 = new QLabel(QStringLiteral(
        "Doppelklicken Sie auf den zu ändenden Lehrernamen und tragen Sie das Kürzel des Fachbereuer ein. "
        "Sollen mehrere Lehrer für ein Fach eingetragen werden, so müssen die Kürzel durch ein Leerzeichen "
        "voneinander getrennt sein."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    auto *lay = new QGridLayout(this);
    lay->addWidget(fg, 0, 0, 4, 1);
    lay->addWidget(txtFach, 0, 1);
    lay->addWidget(cmdFachHinzu, 1, 1);
    lay->addWidget(cmdFachWeg, 2, 1);
    lay->addWidget(Label1, 3, 1, Qt::AlignTop);
    lay->setColumnStretch(0, 1);
    lay->setRowStretch(3, 1);

    connect(cmdFachHinzu, &QPushButton::clicked, this, &frm_Fachbetreuer::cmdFachHinzu_Click);
    connect(cmdFachWeg, &QPushButton::clicked, this, &frm_Fachbetreuer::cmdFachWeg_Click);
    // Codes come only from "Fach anfügen": editing one could overwrite another subject's supervisors.
    connect(fg, &VSGrid::beforeEdit, this, [](int, int col, bool &cancel) {
        if (col != 1)
            cancel = true;
    });
    connect(fg, &VSGrid::afterEdit, this, &frm_Fachbetreuer::fg_AfterEdit);
}

void frm_Fachbetreuer::kopfSetzen()
{
    fg->setTextMatrix(0, 0, QStringLiteral("Fach"));
    fg->setTextMatrix(0, 1, QStringLiteral("Fachbetreuer"));
    fg->autoSize(0, 1);
}

void frm_Fachbetreuer::formLoad()
{
    QVector<fachbetreuer::Eintrag> liste;
    try {
        liste = fachbetreuer::laden(mdl::dbEigen);
    } catch (const zdb::DbError &e) {
        msg::box(e.germanText());
    }
    fg->setRows(int(liste.size()) + 1);
    kopfSetzen();
    for (int i = 0; i < liste.size(); ++i) {
        fg->setTextMatrix(i + 1, 0, mdl::NullZuText(liste[i].fach));
        fg->setTextMatrix(i + 1, 1, mdl::NullZuText(liste[i].betreuer));
    }
}

void frm_Fachbetreuer::cmdFachHinzu_Click()
{
    const QString fach = vt::trimBlanks(txtFach->text());
    if (fach.isEmpty()) {
        msg::box(QStringLiteral("Geben Sie zunächst ein Fächerkürzel an."));
        return;
    }
    for (int r = 1; r < fg->rows(); ++r) {
        if (vt::upperTrim(fg->textMatrix(r, 0)) == fach.toUpper()) {
            msg::box(QStringLiteral("Diese Fächerbezeichnung existiert schon."));
            return;
        }
    }
    // The record follows with the first typed supervisor.
    // Set by cell: a pasted tab in the code must not spill into the supervisor column.
    fg->setTextMatrix(fg->addItem(), 0, fach);
    txtFach->clear();
}

void frm_Fachbetreuer::cmdFachWeg_Click()
{
    const int r = fg->row();
    if (r < 1 || r >= fg->rows())
        return;
    try {
        fachbetreuer::loeschen(mdl::dbEigen, fg->textMatrix(r, 0));
    } catch (const zdb::DbError &e) {
        msg::box(QStringLiteral("Das Fach wurde nicht gelöscht.\r") + e.germanText());
        return;
    }
    fg->removeItem(r);
}

void frm_Fachbetreuer::fg_AfterEdit(int row, int)
{
    if (row < 1 || row >= fg->rows())
        return;
    try {
        fachbetreuer::schreiben(mdl::dbEigen, fg->textMatrix(row, 0), fg->textMatrix(row, 1));
    } catch (const zdb::DbError &e) {
        // The typed text stays in the grid; the next finished edit tries again.
        msg::box(QStringLiteral("Die Fachbetreuer wurden nicht gespeichert.\r") + e.germanText());
    }
}

bool frm_Fachbetreuer::formUnload()
{
    // A cell still being edited is written before the window goes.
    fg->finishEditing();
    return true;
}
