#pragma once
// "Fehltage übertragen": the ticked months of every pupil's counted absence days go into the
// grade manager's table fehltage. Modal.
#include <QDialog>
#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

class frm_Fehltage_Uebertragen : public QDialog {
    Q_OBJECT
public:
    explicit frm_Fehltage_Uebertragen(QWidget *parent = nullptr);

    void chk_AlleMonate_Click();
    void cmd_Abbruch_Click();
    void cmd_uebertragen_Click();

    QLabel *Label1 = nullptr;
    QFrame *Frame1 = nullptr;
    QCheckBox *chk_AlleMonate = nullptr;
    std::array<QCheckBox *, 13> chk_Monat{}; // 1..12 = January..December; August is not shown
    QPushButton *cmd_Abbruch = nullptr, *cmd_uebertragen = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
};
