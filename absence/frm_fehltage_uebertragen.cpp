#include "absence/frm_fehltage_uebertragen.h"
#include "absence/uebertragung.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/msg.h"
#include "platform/units.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

using namespace absence;

namespace {
int px(int twips) { return units::twipsToPixels(twips); }
void setzen(QWidget *w, int l, int t, int b, int h) { w->setGeometry(px(l), px(t), px(b), px(h)); }

} // namespace

frm_Fehltage_Uebertragen::frm_Fehltage_Uebertragen(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_Fehltage_Uebertragen"));
    setWindowTitle(QStringLiteral("Fehltage übertragen"));
    setModal(true);
    setFixedSize(px(3855), px(3405));

    Label1 = new QLabel(QStringLiteral("Bitte aktivieren Sie die Monate, bei denen Fehltage in den Notenmanager "
                                       "übertragen werden sollen."),
                        this);
    Label1->setWordWrap(true);
    setzen(Label1, 60, 60, 3735, 480); // two lines, ending where the frame begins

    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::Box);
    setzen(Frame1, 240, 540, 3435, 2115);
    chk_AlleMonate = new QCheckBox(QStringLiteral("alle Monate"), Frame1);
    setzen(chk_AlleMonate, 180, 240, 1245, 255); // wider than designed: the text needs it with our font

    // Two columns in school-year order: September to February, March to August.
    const int links[] = {480, 2040};
    const int reihenfolge[] = {9, 10, 11, 12, 1, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 12; ++i) {
        const int m = reihenfolge[i];
        auto *box = new QCheckBox(datetexts::monthLong(m), Frame1);
        // September, November and Dezember need the wider box with our font.
        setzen(box, links[i / 6], 480 + (i % 6) * 240, m == 9 || m == 11 || m == 12 ? 1215 : 1035, 255);
        chk_Monat[m] = box;
    }
    chk_Monat[8]->hide(); // August only through "alle Monate"

    cmd_Abbruch = new QPushButton(QStringLiteral("Abbruch"), this);
    setzen(cmd_Abbruch, 660, 2940, 1335, 315);
    cmd_uebertragen = new QPushButton(QStringLiteral("übertragen"), this);
    setzen(cmd_uebertragen, 2340, 2940, 1335, 315);
    cmd_uebertragen->setAutoDefault(false);
    cmd_Abbruch->setAutoDefault(false);

    QWidget *vorher = chk_Monat[1];
    for (int m = 2; m <= 12; ++m) {
        setTabOrder(vorher, chk_Monat[m]);
        vorher = chk_Monat[m];
    }
    setTabOrder(vorher, chk_AlleMonate);
    setTabOrder(chk_AlleMonate, cmd_uebertragen);
    setTabOrder(cmd_uebertragen, cmd_Abbruch);

    connect(chk_AlleMonate, &QCheckBox::clicked, this, [this] { guarded([this] { chk_AlleMonate_Click(); }); });
    connect(cmd_Abbruch, &QPushButton::clicked, this, [this] { guarded([this] { cmd_Abbruch_Click(); }); });
    connect(cmd_uebertragen, &QPushButton::clicked, this, [this] { guarded([this] { cmd_uebertragen_Click(); }); });
}

void frm_Fehltage_Uebertragen::showEvent(QShowEvent *e)
{
    // Every opening starts with nothing ticked.
    chk_AlleMonate->setChecked(false);
    for (int m = 1; m <= 12; ++m)
        chk_Monat[m]->setChecked(false);
    QDialog::showEvent(e);
}

void frm_Fehltage_Uebertragen::chk_AlleMonate_Click()
{
    for (int m = 1; m <= 12; ++m)
        chk_Monat[m]->setChecked(chk_AlleMonate->isChecked());
}

void frm_Fehltage_Uebertragen::cmd_Abbruch_Click() { reject(); }

void frm_Fehltage_Uebertragen::cmd_uebertragen_Click()
{
    if (!mdl::NMDatenbankOeffnen())
        return; // the wait was given up: nothing written, the window stays
    Uebertragung::Monate monate{};
    for (int m = 1; m <= 12; ++m)
        monate[m] = chk_Monat[m]->isChecked();
    int anzahl = 0;
    try {
        const mdl::NMSitzung nm(mdl::NMSitzung::SchonGeoeffnet);
        anzahl = Uebertragung::uebertragen(mdl::dbEigen, mdl::dbNM(), monate);
    } catch (const zdb::DbError &e) {
        if (e.kind() == zdb::DbError::Other)
            throw;
        // The grade manager's file is written in one transaction: nothing of it was written, and the
        // window stays for another try.
        msg::box(QStringLiteral("Es wurden keine Fehltage in die Notenmanagerdatenbank übertragen.\r")
                 + e.germanText());
        return;
    }
    if (anzahl < 1)
        msg::box(QStringLiteral("Aus unbekannten Gründen wurden KEINE Fehltage in die Notenmanagerdatenbank übertragen!"));
    else
        msg::box(QStringLiteral("Die Fehltage von ") + QString::number(anzahl)
                 + QStringLiteral(" Schülern wurden in die Notenmanagerdatenbank übertragen!"));
    accept();
}
