#pragma once
// Wait window of the grade manager's database: shows the waited seconds and lets the user give up.
// Always shown above the progress window frm_Warten; one window serves every nested wait.
#include <QWidget>

class QLabel;
class QPushButton;

class frm_Warten_DB : public QWidget {
    Q_OBJECT
public:
    // `hinweis`, when given, names the file waited for (lblDatei).
    static void zeigen(double sekunden, const QString &hinweis = QString());
    static void entladen();
    static bool istSichtbar();
    static frm_Warten_DB *instance(); // nullptr when not loaded
    // "Warten auf die Datenbank ... " + seconds as "0,0" + " sec"
    static QString text(double sekunden);

    // Giving up (button or closing the window) marks every running wait as aborted.
    static void abbrechen();
    static bool abgebrochen();
    static void zuruecksetzen(); // at the start of the outermost wait

    QLabel *lblInfo = nullptr;
    QLabel *lblDatei = nullptr;
    QPushButton *cmdAbbrechen = nullptr;

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    explicit frm_Warten_DB(QWidget *parent = nullptr);
};
