#pragma once
// "Fachbetreuer einstellen": the subject supervisors in a grid; added codes, typed supervisors
// and deletions go to the own database at once.
#include "core/childwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;
class VSGrid;

class frm_Fachbetreuer : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_Fachbetreuer(QWidget *parent = nullptr);

    void formLoad() override;
    bool formUnload() override;

    void cmdFachHinzu_Click();
    void cmdFachWeg_Click();
    void fg_AfterEdit(int row, int col);

    VSGrid *fg = nullptr;
    QLineEdit *txtFach = nullptr;
    QPushButton *cmdFachHinzu = nullptr;
    QPushButton *cmdFachWeg = nullptr;
    QLabel *Label1 = nullptr;

private:
    void kopfSetzen();
};
