// The absence window's buttons for Word documents and Excel lists: each hands what the window
// shows to the document builders.
#include "absence/excellisten.h"
#include "absence/frm_fehltage_excel.h"
#include "absence/frm_fehltage.h"
#include "absence/frm_fehltage_word.h"
#include "absence/worddokumente.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace absence;

void frm_Fehltage::dokumenteVerbinden()
{
    const auto klartext = [this](const QString &code) { return GrundKlartext(code); };
    const auto optionen = [this] {
        TageslistenOptionen o;
        o.lk = chkLK->isChecked();
        o.grund = chkGrund->isChecked();
        o.klartext = chkGrundKlartext->isChecked();
        o.bemerkung = chkBemerkung->isChecked();
        return o;
    };

    connect(cmdUnterrichtsbefreiung, &QPushButton::clicked, this, [this] {
        guarded([this] {
            UnterrichtsbefreiungErstellen({lblSName->text(), lblSKlasse->text(),
                                           klassenleiterDerKlasse(*fgKlassen, lblSKlasse->text()), lblTag->text()},
                                          lblInfo);
        });
    });
    connect(cmdDrucken, &QPushButton::clicked, this, [this, klartext, optionen] {
        guarded([&] { TageslisteWordErstellen(lblDatum->text(), tageslisteAusGrid(*fgKranke), optionen(), klartext,
                                              lblInfo, cmdDrucken); });
    });
    connect(cmdWord, &QPushButton::clicked, this, [this] {
        guarded([this] {
            if (!ZeitraumPruefen())
                return;
            const auto z = zeitraum();
            if (!z)
                return;
            KlassenberichtWordErstellen(mdl::dbEigen, gewaehlteKlassen(*fgKlassen), z->first, z->second,
                                        chkExtraSeite->isChecked(), lblInfo, heute(), &m_personen.zuordnung());
        });
    });
    connect(cmd_unentschuldigt, &QPushButton::clicked, this, [this] {
        guarded([this] {
            excellisten::cmd_unentschuldigt_Click(mdl::dbEigen, txtStartTag->text(), txtEndeTag->text(), *fgKlassen,
                                                  {cmd_unentschuldigt, lblInfo});
        });
    });
    connect(cmdVieleFehltage, &QPushButton::clicked, this, [this] {
        guarded([this] {
            excellisten::cmdVieleFehltage_Click(mdl::dbEigen, txtStartTag->text(), txtEndeTag->text(),
                                                txt_n_Fehltage->text(), {cmdVieleFehltage, lblInfo});
        });
    });
    connect(cmdExcel, &QPushButton::clicked, this, [this, klartext, optionen] {
        guarded([&] { excellisten::cmdExcel_Click(*fgKranke, lblDatum->text(), optionen(), klartext, {cmdExcel, lblInfo}); });
    });
}
