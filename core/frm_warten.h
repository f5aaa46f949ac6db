#pragma once
// Progress window: callers show it with a text, report progress and unload it at the end.
#include <QWidget>

class QLabel;
class QProgressBar;

class frm_Warten : public QWidget {
    Q_OBJECT
public:
    static void zeigen(const QString &text); // shows (modeless) with lblInfoText = text
    static void setText(const QString &text);
    // Bar width = full width * x / xmax; xmax <= 0 leaves the bar empty. Lets no events through.
    static void Fortschritt(double x, double xmax);
    static void entladen();
    static bool istSichtbar();
    static frm_Warten *instance(); // nullptr when not loaded

    QLabel *lblInfoText = nullptr;

private:
    explicit frm_Warten(QWidget *parent = nullptr);
    QWidget *m_bar = nullptr;
    int m_drawn = -1;
};
