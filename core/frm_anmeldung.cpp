#include "core/frm_anmeldung.h"
#include "core/anmeldung.h"
#include "core/frm_main.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "core/rechte.h"
#include "platform/msg.h"
#include "platform/settings.h"
#include "platform/valuetext.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frm_Anmeldung::frm_Anmeldung(QWidget *parent) : QDialog(parent)
{
    setObjectName("frm_Anmeldung");
    setWindowTitle(QStringLiteral("Anmeldung"));
    auto *lay = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    cmb_Kuerzel = new QComboBox(this);
    cmb_Kuerzel->setObjectName("cmb_Kuerzel");
    cmb_Kuerzel->setEditable(true);
    cmb_Kuerzel->setInsertPolicy(QComboBox::NoInsert);
    txtPasswort = new QLineEdit(this);
    txtPasswort->setObjectName("txtPasswort");
    txtPasswort->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Kürzel:"), cmb_Kuerzel);
    form->addRow(QStringLiteral("Passwort:"), txtPasswort);
    lay->addLayout(form);
    auto *knoepfe = new QHBoxLayout;
    cmdAnmelden = new QPushButton(QStringLiteral("Anmelden"), this);
    cmdAnmelden->setObjectName("cmdAnmelden");
    cmdAnmelden->setDefault(true);
    cmdBeenden = new QPushButton(QStringLiteral("Beenden"), this);
    cmdBeenden->setObjectName("cmdBeenden");
    knoepfe->addWidget(cmdAnmelden);
    knoepfe->addWidget(cmdBeenden);
    lay->addLayout(knoepfe);

    connect(cmdAnmelden, &QPushButton::clicked, this, [this] { guarded([this] { cmdAnmelden_Click(); }); });
    connect(cmdBeenden, &QPushButton::clicked, this, [this] { cmdBeenden_Click(); });
    // A rejected password keeps the button off until the password is edited.
    connect(txtPasswort, &QLineEdit::textEdited, this, [this] { cmdAnmelden->setEnabled(true); });

    guarded([this] { Form_Load(); });
}

void frm_Anmeldung::Form_Load()
{
    if (!mdl::NMDatenbankOeffnen())
        return;
    QStringList liste;
    {
        const mdl::NMSitzung sitzung(mdl::NMSitzung::SchonGeoeffnet);
        liste = anmeldung::kuerzelListe(mdl::dbNM());
    }
    cmb_Kuerzel->clear();
    cmb_Kuerzel->addItems(liste);
    cmb_Kuerzel->setCurrentIndex(-1);
    cmb_Kuerzel->setEditText(QString());
}

void frm_Anmeldung::cmdAnmelden_Click()
{
    const QString kuerzel = cmb_Kuerzel->currentText();
    const QString passwort = txtPasswort->text();
    if (!mdl::NMDatenbankOeffnen())
        return;
    anmeldung::Schule schule;
    anmeldung::Ergebnis ergebnis;
    {
        const mdl::NMSitzung sitzung(mdl::NMSitzung::SchonGeoeffnet);
        schule = anmeldung::schuleLesen(mdl::dbNM());
        ergebnis = anmeldung::pruefen(mdl::dbNM(), kuerzel, passwort);
    }

    mdl::Schulnummer = schule.nummer;
    mdl::Schulname = schule.name;
    mdl::SchulnameSub = schule.nameSub;
    frm_Main *haupt = frm_Main::instance();
    auto titelSetzen = [&] {
        if (haupt)
            haupt->setWindowTitle(anmeldung::titel(mdl::Schulnummer, mdl::Schulname, mdl::Benutzer,
                                                   !vt::trimBlanks(mdl::NMDateiParameter).isEmpty()));
    };

    switch (ergebnis) {
    case anmeldung::Ergebnis::Gesperrt:
        titelSetzen();
        msg::box(anmeldung::gesperrtText());
        return;
    case anmeldung::Ergebnis::Abgelehnt:
        titelSetzen();
        cmdAnmelden->setEnabled(false);
        return;
    case anmeldung::Ergebnis::Angemeldet:
        break;
    }
    mdl::Benutzer = kuerzel;
    mdl::IstAdmin = rechte::istAdmin(kuerzel);
    // The rights are read at every login, so the menus are right after a log-off too.
    const rechte::Menues m = rechte::berechnen(kuerzel, rechte::spaltenLesen(mdl::dbEigen), mdl::Schulnummer,
                                               registry::installationValue(QStringLiteral("WunschzettelSchulnummer")));
    if (haupt)
        haupt->menuesSetzen(m);
    titelSetzen();
    accept();
}

void frm_Anmeldung::cmdBeenden_Click()
{
    // Ends the program at once (after a log-off no other window is loaded).
    if (!isModal()) {
        mdl::NMDatenbankZuruecksetzen();
        mdl::dbEigen.close();
        QCoreApplication::quit();
    }
    reject();
}
