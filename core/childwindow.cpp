#include "core/childwindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>

ChildWindow::ChildWindow(const QString &formName, QWidget *parent) : QWidget(parent), m_formName(formName)
{
    setObjectName(formName);
}

static QMdiSubWindow *subWindowOf(const QWidget *w)
{
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (auto *s = qobject_cast<QMdiSubWindow *>(p))
            return s;
    return nullptr;
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
