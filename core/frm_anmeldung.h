#pragma once
// Login window: teacher abbreviation and password of the grade manager.
// Modal at start-up (accepted = logged in, rejected = "Beenden"), modeless after a log-off.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

class frm_Anmeldung : public QDialog {
    Q_OBJECT
public:
    explicit frm_Anmeldung(QWidget *parent = nullptr);

    QComboBox *cmb_Kuerzel = nullptr; // editable
    QLineEdit *txtPasswort = nullptr;
    QPushButton *cmdAnmelden = nullptr;
    QPushButton *cmdBeenden = nullptr;

    void Form_Load();          // fills cmb_Kuerzel from the grade manager
    void cmdAnmelden_Click();  // one login attempt
    void cmdBeenden_Click();
};
