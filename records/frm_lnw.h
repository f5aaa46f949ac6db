#pragma once
// "Leistungsnachweise Fachbetreuer": the written tests of many courses in one grid, chosen by
// teacher or by subject (administrators), by supervised subject (subject supervisors), or the
// user's own courses.
#include "core/childwindow.h"
#include "records/lnwabfrage.h"
#include "records/lnwgitter.h"
#include "platform/speicherdialog.h"

#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class VSGrid;

class frm_LNW : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_LNW(QWidget *parent = nullptr);

    void formLoad() override;
    void formActivate() override;
    bool formUnload() override;

    void optUnterrichtLehrer_Click(int index);
    void cmdZeigeAuswahl_Click();
    void cmdEigenerUnterricht_Click();
    void lst_MouseUp(VSGrid *liste, int button, int shift);
    void fg_LNW_Click();
    void txtGrenzschnitt_LostFocus();
    void chkSpalte_Click(int index);
    void chkNichtAbgeg_Click();
    void chkKopfFrei_Click();
    void cmdDruck_Click();
    void cmdExcel_Click();
    void fg_LNW_KeyPress(int &keyAscii);
    // Packs the shown rows and columns of fg_LNW into fg_LNW2 (workbook and clipboard).
    void Copy_fg_LNW();

    // Fills the grid from a course selection (the grade manager's database is opened and closed here).
    void LNW_Tabelle_fuellen(const lnw::KursAbfrage &abfrage);
    // The display options as the boxes and lists hold them.
    lnw::Anzeige anzeige() const;
    bool fuelltGerade() const { return m_fuellt; }
    // Answers the save dialog in tests.
    speichern::Antwort speichernDialog;

    VSGrid *fg_LNW = nullptr;
    VSGrid *fg_LNW2 = nullptr; // never shown: the packed copy of fg_LNW
    VSGrid *lstLehrer = nullptr;
    VSGrid *lstFach = nullptr;
    QFrame *Frame1 = nullptr;
    std::array<QRadioButton *, 2> optUnterrichtLehrer{};
    QLabel *lblNach = nullptr;
    QPushButton *cmdZeigeAuswahl = nullptr;
    QPushButton *cmdEigenerUnterricht = nullptr;
    QPushButton *cmdDruck = nullptr;
    QPushButton *cmdExcel = nullptr;
    QLineEdit *txtGrenzschnitt = nullptr;
    QLineEdit *txtMindestanzahl = nullptr;
    std::array<QLabel *, 3> lbl_LNW_T{};
    std::array<QLabel *, 9> lbl_LNW{};
    std::array<QCheckBox *, 10> chkSpalte{};
    QCheckBox *chkLeereSpaltenWeg = nullptr;
    QCheckBox *chkNichtAbgeg = nullptr;
    QCheckBox *chkKopfFrei = nullptr;
    QProgressBar *shpBox1 = nullptr;
    bool AuswahlGezeigt = false;

protected:
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void ZeigeNachLehrern();
    void ZeigeNachFaechern();
    void listeFuellen(VSGrid *liste, const QStringList &eintraege);
    QVector<lnw::ListenEintrag> eintraege(const VSGrid *liste) const;
    void lehrerLesen();
    void faecherLesen();
    void fuellungBeenden();

    bool m_fuellt = false;           // a fill (or the activation's reads) is running
    bool m_schliessenDanach = false; // close requested while filling
};
