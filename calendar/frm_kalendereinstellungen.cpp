#include "calendar/frm_kalendereinstellungen.h"
#include "calendar/kalendereinstellungen.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/msg.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

using namespace kalender;

frm_KalenderEinstellungen::frm_KalenderEinstellungen(QWidget *parent)
    : ChildWindow(QStringLiteral("frm_KalenderEinstellungen"), parent)
{
    setWindowTitle(QStringLiteral("Kalender - Einstellungen"));
    farbDialog = [this](const QColor &vorgabe) {
        return QColorDialog::getColor(vorgabe, this, QStringLiteral("Farbe auswählen"));
    };
    aufbauen();
}

template <class W> static W *benannt(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

// Two options that exclude each other, in a row after their label.
static QHBoxLayout *optionen(QWidget *owner, QRadioButton *a, QRadioButton *b)
{
    auto *gruppe = new QButtonGroup(owner);
    gruppe->addButton(a);
    gruppe->addButton(b);
    auto *zeile = new QHBoxLayout;
    zeile->addWidget(a);
    zeile->addWidget(b);
    zeile->addStretch();
    return zeile;
}

void frm_KalenderEinstellungen::aufbauen()
{
    auto *g = new QGridLayout(this);
    int z = 0;
    txtKalenderErsterTag = benannt(new QLineEdit(this), "txtKalenderErsterTag");
    txtKalenderLetzterTag = benannt(new QLineEdit(this), "txtKalenderLetzterTag");
    cmdLoeschen = benannt(new QPushButton(QStringLiteral("davor liegende Einträge löschen"), this), "cmdLoeschen");
    g->addWidget(new QLabel(QStringLiteral("Kalender - erster Tag"), this), z, 0);
    g->addWidget(txtKalenderErsterTag, z, 1);
    g->addWidget(cmdLoeschen, z++, 2);
    g->addWidget(new QLabel(QStringLiteral("Kalender - letzter Tag"), this), z, 0);
    g->addWidget(txtKalenderLetzterTag, z++, 1);

    frameFreigabe = benannt(new QGroupBox(this), "frameFreigabe");
    {
        auto *f = new QHBoxLayout(frameFreigabe);
        f->addWidget(new QLabel(QStringLiteral("Schulaufgabenplan - Eingabe"), frameFreigabe));
        optFreigabeFrei = benannt(new QRadioButton(QStringLiteral("freigegeben"), frameFreigabe), "optFreigabeFrei");
        optFreigabeGesperrt = benannt(new QRadioButton(QStringLiteral("gesperrt"), frameFreigabe), "optFreigabeGesperrt");
        f->addLayout(optionen(this, optFreigabeFrei, optFreigabeGesperrt));
    }
    g->addWidget(frameFreigabe, z++, 0, 1, 3);

    auto *lehrkraefte = new QLabel(
        QStringLiteral("Lehrkräfte können neben Leistungsnachweisen folgende Terminarten selbst erfassen:"), this);
    lehrkraefte->setWordWrap(true);
    g->addWidget(lehrkraefte, z++, 0, 1, 3);
    optSonstigeTermineJa = benannt(new QRadioButton(QStringLiteral("ja"), this), "optSonstigeTermineJa");
    optSonstigeTermineNein = benannt(new QRadioButton(QStringLiteral("nein"), this), "optSonstigeTermineNein");
    g->addWidget(new QLabel(QStringLiteral("sonstige Termine (SO):"), this), z, 0);
    g->addLayout(optionen(this, optSonstigeTermineJa, optSonstigeTermineNein), z++, 1, 1, 2);
    optKlassenfahrtJa = benannt(new QRadioButton(QStringLiteral("ja"), this), "optKlassenfahrtJa");
    optKlassenfahrtNein = benannt(new QRadioButton(QStringLiteral("nein"), this), "optKlassenfahrtNein");
    g->addWidget(new QLabel(QStringLiteral("Klassenfahrten (KF):"), this), z, 0);
    g->addLayout(optionen(this, optKlassenfahrtJa, optKlassenfahrtNein), z++, 1, 1, 2);

    g->addWidget(new QLabel(QStringLiteral("Termine einfärben:"), this), z++, 0, 1, 3);
    txt_nTage = benannt(new QLineEdit(this), "txt_nTage");
    txt_nTage->setMaximumWidth(80);
    g->addWidget(new QLabel(QStringLiteral("Neueintrag in den letzten ... Tagen:"), this), z, 0);
    g->addWidget(txt_nTage, z++, 1);
    shp_Farbe = benannt(new QFrame(this), "shp_Farbe");
    shp_Farbe->setFrameShape(QFrame::Box);
    shp_Farbe->setAutoFillBackground(true);
    shp_Farbe->setMinimumSize(80, 20);
    cmd_FarbeAendern = benannt(new QPushButton(QStringLiteral("Farbe auswählen"), this), "cmd_FarbeAendern");
    g->addWidget(new QLabel(QStringLiteral("Farbe:"), this), z, 0);
    g->addWidget(shp_Farbe, z, 1);
    g->addWidget(cmd_FarbeAendern, z++, 2);

    txtHTML_L = benannt(new QLineEdit(this), "txtHTML_L");
    txtHTML_S = benannt(new QLineEdit(this), "txtHTML_S");
    txtHTML_S2 = benannt(new QLineEdit(this), "txtHTML_S2");
    const QPair<const char *, QLineEdit *> pfade[3] = {
        {"HTML-Datei für Schulaufgabenplan (Lehrer)", txtHTML_L},
        {"HTML-Datei für Schulaufgabenplan (Schüler - Tabellenform)", txtHTML_S},
        {"HTML-Datei für Schulaufgabenplan (Schüler - gruppiert nach Klassen)", txtHTML_S2}};
    for (const auto &p : pfade) {
        g->addWidget(new QLabel(QString::fromUtf8(p.first), this), z++, 0, 1, 3);
        g->addWidget(p.second, z++, 0, 1, 3);
    }
    auto *hinweis = new QLabel(
        QStringLiteral("Bitte passen Sie diese Pfad- und Dateiangaben an Ihre Erfordernisse in Ihrem Netzwerk an."), this);
    hinweis->setWordWrap(true);
    g->addWidget(hinweis, z++, 0, 1, 3);

    cmdSpeichern = benannt(new QPushButton(QStringLiteral("speichern"), this), "cmdSpeichern");
    cmdAbbrechen = benannt(new QPushButton(QStringLiteral("abbrechen"), this), "cmdAbbrechen");
    auto *knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(cmdSpeichern);
    knoepfe->addWidget(cmdAbbrechen);
    g->addLayout(knoepfe, z++, 0, 1, 3);
    g->setColumnStretch(1, 1);

    connect(cmdLoeschen, &QPushButton::clicked, this, [this] { guarded([this] { cmdLoeschen_Click(); }); });
    connect(cmd_FarbeAendern, &QPushButton::clicked, this, [this] { guarded([this] { cmd_FarbeAendern_Click(); }); });
    connect(txt_nTage, &QLineEdit::editingFinished, this, [this] { txt_nTage_Validate(); });
    connect(cmdSpeichern, &QPushButton::clicked, this, [this] { guarded([this] { cmdSpeichern_Click(); }); });
    connect(cmdAbbrechen, &QPushButton::clicked, this, [this] { cmdAbbrechen_Click(); });
    resize(sizeHint().expandedTo(QSize(620, 0)));
}

void frm_KalenderEinstellungen::Form_Load()
{
    // Centred in the main window's client area (on the screen when it stands alone).
    QWidget *fenster = this;
    QSize flaeche;
    for (QWidget *p = parentWidget(); p; p = p->parentWidget())
        if (auto *sub = qobject_cast<QMdiSubWindow *>(p)) {
            fenster = sub;
            sub->adjustSize();
            if (sub->mdiArea())
                flaeche = sub->mdiArea()->viewport()->size();
            break;
        }
    if (!flaeche.isValid() && screen())
        flaeche = screen()->availableSize();
    if (flaeche.isValid())
        fenster->move(std::max(0, (flaeche.width() - fenster->width()) / 2),
                      std::max(0, (flaeche.height() - fenster->height()) / 2));
}

void frm_KalenderEinstellungen::farbeSetzen(long farbe)
{
    m_farbe = farbe;
    QPalette pal = shp_Farbe->palette();
    pal.setColor(QPalette::Window, units::toQColor(farbe));
    shp_Farbe->setPalette(pal);
}

void frm_KalenderEinstellungen::Form_Activate()
{
    // Values typed but not saved give way to the loaded settings.
    const KalenderWerte w = werteLesen();
    txtHTML_S->setText(w.htmlS);
    txtHTML_L->setText(w.htmlL);
    txtHTML_S2->setText(w.htmlS2);
    txtKalenderErsterTag->setText(datetexts::format(w.ersterTag, QStringLiteral("dd.mm.yyyy")));
    txtKalenderLetzterTag->setText(datetexts::format(w.letzterTag, QStringLiteral("dd.mm.yyyy")));
    txt_nTage->setText(QString::number(w.einfaerbenTage));
    farbeSetzen(w.einfaerbenFarbe);
    (w.freigegeben ? optFreigabeFrei : optFreigabeGesperrt)->setChecked(true);
    (w.sonstigeTermine ? optSonstigeTermineJa : optSonstigeTermineNein)->setChecked(true);
    (w.klassenfahrt ? optKlassenfahrtJa : optKlassenfahrtNein)->setChecked(true);
}

void frm_KalenderEinstellungen::cmd_FarbeAendern_Click()
{
    // A cancelled dialog leaves the colour as it was.
    const QColor c = farbDialog ? farbDialog(units::toQColor(m_farbe)) : QColor();
    if (c.isValid())
        farbeSetzen(units::fromQColor(c));
}

void frm_KalenderEinstellungen::txt_nTage_Validate()
{
    txt_nTage->setText(QString::number(tageAusText(txt_nTage->text())));
}

bool frm_KalenderEinstellungen::datumLesen(QLineEdit *box, const QString &was, QDate &datum)
{
    datum = vt::parseDate(box->text().trimmed());
    if (datum.isValid())
        return true;
    msg::box(QStringLiteral("Bitte geben Sie für ") + was
                 + QStringLiteral(" ein gültiges Datum ein (TT.MM.JJJJ)."),
             msg::OKOnly);
    box->setFocus();
    return false;
}

void frm_KalenderEinstellungen::cmdSpeichern_Click()
{
    KalenderWerte w;
    if (!datumLesen(txtKalenderErsterTag, QStringLiteral("den ersten Tag des Kalenders"), w.ersterTag)
        || !datumLesen(txtKalenderLetzterTag, QStringLiteral("den letzten Tag des Kalenders"), w.letzterTag))
        return;
    w.freigegeben = optFreigabeFrei->isChecked();
    w.sonstigeTermine = optSonstigeTermineJa->isChecked();
    w.klassenfahrt = optKlassenfahrtJa->isChecked();
    w.einfaerbenTage = tageAusText(txt_nTage->text());
    w.einfaerbenFarbe = m_farbe;
    w.htmlL = txtHTML_L->text().trimmed();
    w.htmlS = txtHTML_S->text().trimmed();
    w.htmlS2 = txtHTML_S2->text().trimmed();
    try {
        werteSpeichern(mdl::dbEigen, w);
    } catch (const zdb::DbError &e) {
        // Nothing was taken over: the window stays open with what was typed.
        msg::box(QStringLiteral("Die Einstellungen des Kalenders wurden nicht gespeichert.\r") + e.germanText(),
                 msg::OKOnly);
        return;
    }
    entladen();
}

void frm_KalenderEinstellungen::cmdAbbrechen_Click() { entladen(); }

void frm_KalenderEinstellungen::cmdLoeschen_Click()
{
    QDate erster;
    if (!datumLesen(txtKalenderErsterTag, QStringLiteral("den ersten Tag des Kalenders"), erster))
        return;
    const QString frage = QStringLiteral("Sicherheitsnachfrage: \r\rAlle Einträge des Schulaufgabenkalenders vor dem ")
        + txtKalenderErsterTag->text()
        + QStringLiteral(" werden gelöscht!\r\rDieser Vorgang kann nicht rückgängig gemacht werden!");
    if (msg::box(frage, msg::YesNo | msg::DefaultButton2) != msg::Yes) {
        msg::box(QStringLiteral("Es wurde nichts gelöscht!"), msg::OKOnly);
        return;
    }
    try {
        termineDavorLoeschen(mdl::dbEigen, erster);
    } catch (const zdb::DbError &e) {
        msg::box(QStringLiteral("Es wurde nichts gelöscht.\r") + e.germanText(), msg::OKOnly);
        return;
    }
    msg::box(QStringLiteral("Löschvorgang abgeschlossen!"), msg::OKOnly);
}
