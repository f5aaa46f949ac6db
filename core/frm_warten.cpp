#include "core/frm_warten.h"
#include "core/frm_main.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QLayout>
#include <QScreen>
#include <QVBoxLayout>

static QPointer<frm_Warten> s_instance;

frm_Warten::frm_Warten(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName("frm_Warten");
    setWindowTitle(QStringLiteral("Bitte warten …"));
    auto *lay = new QVBoxLayout(this);
    lblInfoText = new QLabel(this);
    lblInfoText->setObjectName("lblInfoText");
    lblInfoText->setWordWrap(true);
    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setFixedHeight(20);
    frame->setMinimumWidth(300);
    m_bar = new QWidget(frame);
    m_bar->setAutoFillBackground(true);
    QPalette pal = m_bar->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 160));
    m_bar->setPalette(pal);
    m_bar->setGeometry(1, 1, 0, 18);
    cmdAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdAbbrechen->setObjectName("cmdAbbrechen");
    cmdAbbrechen->hide();
    connect(cmdAbbrechen, &QPushButton::clicked, this, [this] { m_abgebrochen = true; });
    lay->addWidget(lblInfoText);
    lay->addWidget(frame);
    lay->addWidget(cmdAbbrechen, 0, Qt::AlignRight);
    resize(360, 90);
}

frm_Warten *frm_Warten::instance() { return s_instance; }

void frm_Warten::ueberHauptfensterZeigen(QWidget *w)
{
    QWidget *haupt = frm_Main::instance();
    if (haupt && w->parentWidget() != haupt)
        w->setParent(haupt, w->windowFlags()); // keeps it a window of its own
    if (w->isVisible())
        return; // once shown, the user may move it
    if (w->layout())
        w->layout()->activate(); // the size it will show with
    auto zentrieren = [w, haupt] {
        const QRect ueber = haupt ? haupt->frameGeometry() : w->screen()->availableGeometry();
        QRect r = w->frameGeometry();
        r.moveCenter(ueber.center());
        w->move(r.topLeft());
    };
    zentrieren();
    w->show();
    zentrieren(); // again with the frame the window manager gave it
}

void frm_Warten::zeigen(const QString &text)
{
    if (!s_instance)
        s_instance = new frm_Warten(frm_Main::instance());
    s_instance->lblInfoText->setText(text);
    ueberHauptfensterZeigen(s_instance);
}

void frm_Warten::zeigenMitAbbruch(const QString &text)
{
    if (!s_instance)
        s_instance = new frm_Warten(frm_Main::instance());
    s_instance->setWindowModality(Qt::ApplicationModal);
    s_instance->cmdAbbrechen->show();
    zeigen(text);
}

bool frm_Warten::abgebrochen() { return s_instance && s_instance->m_abgebrochen; }

void frm_Warten::closeEvent(QCloseEvent *e)
{
    if (cmdAbbrechen->isVisible())
        m_abgebrochen = true;
    QWidget::closeEvent(e);
}

void frm_Warten::setText(const QString &text)
{
    if (s_instance)
        s_instance->lblInfoText->setText(text);
}

void frm_Warten::Fortschritt(double x, double xmax)
{
    if (!s_instance)
        return;
    QWidget *frame = s_instance->m_bar->parentWidget();
    int full = frame->width() - 2;
    int w = xmax > 0 ? int(full * qBound(0.0, x / xmax, 1.0)) : 0;
    // Repaint only when the drawn width changes: long passes call this per record.
    if (w == s_instance->m_drawn)
        return;
    s_instance->m_drawn = w;
    s_instance->m_bar->setGeometry(1, 1, w, frame->height() - 2);
    s_instance->m_bar->repaint();
}

void frm_Warten::entladen()
{
    if (s_instance) {
        s_instance->close();
        delete s_instance;
    }
}

bool frm_Warten::istSichtbar() { return s_instance && s_instance->isVisible(); }
