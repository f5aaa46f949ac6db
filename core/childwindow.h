#pragma once
// Base of every feature window shown inside the main window. The main window calls
// formLoad() once after creating it, formActivate() each time it becomes the active
// child, and formUnload() before closing it (false refuses, e.g. while a pass runs).
#include <QString>
#include <QWidget>

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

private:
    QString m_formName;
};
