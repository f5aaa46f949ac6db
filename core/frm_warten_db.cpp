#include "core/frm_warten_db.h"
#include "core/frm_main.h"
#include "core/frm_warten.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

static QPointer<frm_Warten_DB> s_instance;
static bool s_abgebrochen = false;

frm_Warten_DB::frm_Warten_DB(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName("frm_Warten_DB");
    setWindowTitle(QStringLiteral("Datenbank nicht erreichbar"));
    auto *lay = new QVBoxLayout(this);
    lblInfo = new QLabel(this);
    lblInfo->setObjectName("lblInfo");
    lblDatei = new QLabel(this);
    lblDatei->setObjectName("lblDatei");
    lblDatei->setWordWrap(true);
    lblDatei->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblDatei->hide();
    cmdAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdAbbrechen->setObjectName("cmdAbbrechen");
    lay->addWidget(lblInfo);
    lay->addWidget(lblDatei);
    lay->addWidget(cmdAbbrechen);
    connect(cmdAbbrechen, &QPushButton::clicked, this, [] { abbrechen(); });
    resize(360, 90);
}

frm_Warten_DB *frm_Warten_DB::instance() { return s_instance; }

QString frm_Warten_DB::text(double sekunden)
{
    return QStringLiteral("Warten auf die Datenbank ... ") + QString::number(sekunden, 'f', 1).replace('.', ',') +
           QStringLiteral(" sec");
}

void frm_Warten_DB::zeigen(double sekunden, const QString &hinweis)
{
    if (!s_instance)
        s_instance = new frm_Warten_DB(frm_Main::instance());
    s_instance->lblInfo->setText(text(sekunden));
    if (!hinweis.isEmpty()) {
        s_instance->lblDatei->setText(hinweis);
        s_instance->lblDatei->show();
    }
    frm_Warten::ueberHauptfensterZeigen(s_instance);
    // Above the progress window, which a caller may have shown first.
    s_instance->raise();
}

void frm_Warten_DB::entladen()
{
    if (s_instance) {
        s_instance->hide();
        s_instance->deleteLater();
        s_instance = nullptr;
    }
}

bool frm_Warten_DB::istSichtbar() { return s_instance && s_instance->isVisible(); }

void frm_Warten_DB::closeEvent(QCloseEvent *e)
{
    // Closing the window gives up the wait, as the button does.
    e->ignore();
    abbrechen();
}

void frm_Warten_DB::abbrechen() { s_abgebrochen = true; }
bool frm_Warten_DB::abgebrochen() { return s_abgebrochen; }
void frm_Warten_DB::zuruecksetzen() { s_abgebrochen = false; }
