#pragma once
// "Übersicht über die Zuordnung 'Schüler-Unterricht'": which pupil of a class has a current grade
// row in which course. Reads only; the grid logic lives in records/zuordnungen.h.
#include "core/childwindow.h"

class QLabel;
class QListWidget;
class VSGrid;

class frm_UnterrichtBearbeiten : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_UnterrichtBearbeiten(QWidget *parent = nullptr);

    void formLoad() override { Form_Load(); }
    void Form_Load();
    void lstKlassen_Click();
    void fg_BeforeMouseDown(bool &cancel);
    void fg_KeyPress(int &keyAscii);
    void NachSpalteSortieren(int spalte);

    QListWidget *lstKlassen = nullptr;
    VSGrid *fg = nullptr;
    QLabel *Label1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void leeresGitter();
    void kursSpaltenWeiten();
    bool m_laeuft = false; // the database wait lets other clicks through
};
