#pragma once
// Base of every feature window shown inside the main window. The main window calls
// formLoad() once after creating it, formActivate() each time it becomes the active
// child, and formUnload() before closing it (false refuses, e.g. while a pass runs).
#include <QSize>
#include <QString>
#include <QWidget>

class QMdiSubWindow;

class ChildWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChildWindow(const QString &formName, QWidget *parent = nullptr);
    QString formName() const { return m_formName; }

    virtual void formLoad() {}
    virtual void formActivate() {}
    virtual bool formUnload() { return true; }

    // Unloads this window (closes its child frame; formUnload runs and may refuse).
    void entladen();

    // Fills the main window's client area (windows that take its whole size at activation).
    void fillMainClientArea();
    // Size of the main window's client area in pixels (an invalid size outside a main window).
    QSize mainClientSize() const;
    // The frame the user moves and sizes: the child frame inside the main window, else this widget.
    QWidget *rahmen() const;

    // What a child frame holds: the window in a scroll area. The window never gets smaller
    // than the size it needs; a smaller frame scrolls its contents instead of squeezing them
    // into one another or cutting them off.
    static QWidget *imRollbereich(QWidget *fenster);
    // The window a child frame shows, nullptr for an empty frame.
    static QWidget *fensterIn(const QMdiSubWindow *sub);

    // The size the window needs: as declared, else its layout's minimum, else the size it was
    // designed at (its size when its frame was made).
    QSize minimumSizeHint() const override;

protected:
    // Declares the smallest size (in twips) at which the window's resize rules keep every
    // control whole, apart from the others and usable.
    void setBenoetigteGroesse(int breiteTwips, int hoeheTwips);

private:
    QString m_formName;
    QSize m_benoetigt; // pixels; invalid until declared or designed
};
