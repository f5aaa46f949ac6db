#include "core/childwindow.h"
#include "platform/units.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>

namespace {

// The scroll area between a child frame and its window. The frame sees it as its widget, so it
// passes on what the frame would otherwise take from the window: title, icon and closing (which
// the window may refuse).
class Rollbereich : public QScrollArea {
public:
    explicit Rollbereich(QWidget *fenster)
    {
        setObjectName(QStringLiteral("Rollbereich"));
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus); // the frame gives the focus to the window's controls
        setWidgetResizable(true);
        setWindowTitle(fenster->windowTitle());
        setWindowIcon(fenster->windowIcon());
        // The frame starts at the size the window was designed at.
        if (fenster->testAttribute(Qt::WA_Resized))
            m_entwurf = fenster->size();
        setWidget(fenster);
        fenster->installEventFilter(this);
    }
    QSize sizeHint() const override
    {
        if (m_entwurf.isValid())
            return m_entwurf;
        return widget() ? widget()->sizeHint() : QSize();
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == widget()) {
            switch (e->type()) {
            case QEvent::WindowTitleChange: setWindowTitle(widget()->windowTitle()); break;
            case QEvent::WindowIconChange: setWindowIcon(widget()->windowIcon()); break;
            default: break;
            }
        }
        return QScrollArea::eventFilter(o, e);
    }
    void closeEvent(QCloseEvent *e) override;

private:
    QSize m_entwurf;
};

void Rollbereich::closeEvent(QCloseEvent *e)
{
    if (widget() && !widget()->close())
        e->ignore();
    else
        e->accept();
}

QMdiSubWindow *subWindowOf(const QWidget *w)
{
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (auto *s = qobject_cast<QMdiSubWindow *>(p))
            return s;
    return nullptr;
}

} // namespace

ChildWindow::ChildWindow(const QString &formName, QWidget *parent) : QWidget(parent), m_formName(formName)
{
    setObjectName(formName);
}

QWidget *ChildWindow::imRollbereich(QWidget *fenster)
{
    auto *c = qobject_cast<ChildWindow *>(fenster);
    if (c && !c->m_benoetigt.isValid() && !c->layout() && c->testAttribute(Qt::WA_Resized))
        c->m_benoetigt = c->size();
    return new Rollbereich(fenster);
}

QWidget *ChildWindow::fensterIn(const QMdiSubWindow *sub)
{
    QWidget *w = sub ? sub->widget() : nullptr;
    if (auto *r = dynamic_cast<Rollbereich *>(w))
        return r->widget();
    return w;
}

void ChildWindow::setBenoetigteGroesse(int breiteTwips, int hoeheTwips)
{
    const double dpi = logicalDpiX();
    m_benoetigt = QSize(units::twipsToPixels(breiteTwips, dpi), units::twipsToPixels(hoeheTwips, dpi));
}

QSize ChildWindow::minimumSizeHint() const
{
    if (m_benoetigt.isValid() || !layout())
        return m_benoetigt;
    return QWidget::minimumSizeHint();
}

QSize ChildWindow::mainClientSize() const
{
    QMdiSubWindow *sub = subWindowOf(this);
    if (!sub || !sub->mdiArea())
        return {};
    return sub->mdiArea()->viewport()->size();
}

QWidget *ChildWindow::rahmen() const
{
    if (QMdiSubWindow *sub = subWindowOf(this))
        return sub;
    return const_cast<ChildWindow *>(this);
}

void ChildWindow::fillMainClientArea()
{
    QMdiSubWindow *sub = subWindowOf(this);
    if (!sub || !sub->mdiArea())
        return;
    sub->setGeometry(QRect(QPoint(0, 0), sub->mdiArea()->viewport()->size()));
}

void ChildWindow::entladen()
{
    if (QMdiSubWindow *sub = subWindowOf(this))
        sub->close();
    else
        close();
}
