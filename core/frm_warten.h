#pragma once
// Progress window: callers show it with a text, report progress and unload it at the end.
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class frm_Warten : public QWidget {
    Q_OBJECT
public:
    static void zeigen(const QString &text); // shows (modeless) with lblInfoText = text
    // Shows it modal (no other input reaches the program) with "Abbrechen"; the button, or closing
    // the window, sets abgebrochen() until the window is unloaded.
    static void zeigenMitAbbruch(const QString &text);
    static bool abgebrochen();
    static void setText(const QString &text);
    // Bar width = full width * x / xmax; xmax <= 0 leaves the bar empty. Lets no events through.
    static void Fortschritt(double x, double xmax);
    static void entladen();
    static bool istSichtbar();
    static frm_Warten *instance(); // nullptr when not loaded
    // Shows a wait window as a window of the main window (when there is one), centred over it
    // whatever the window manager would choose; a window already shown stays where it is.
    static void ueberHauptfensterZeigen(QWidget *w);

    QLabel *lblInfoText = nullptr;
    QPushButton *cmdAbbrechen = nullptr;

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    explicit frm_Warten(QWidget *parent = nullptr);
    QWidget *m_bar = nullptr;
    int m_drawn = -1;
    bool m_abgebrochen = false;
};
