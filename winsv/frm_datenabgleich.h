#pragma once
// "Datenabgleich": compares WinSV's pupils with the grade manager's and writes confirmed WinSV
// values back. One run at a time: while a comparison or a write-back runs, activations start
// nothing, both buttons are disabled and closing waits for the end of the run.
#include "core/childwindow.h"
#include "winsv/datenvergleich.h"
#include "winsv/sddf1wahl.h"

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class VSGrid;

class frm_Datenabgleich : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_Datenabgleich(QWidget *parent = nullptr);

    void formLoad() override;
    void formActivate() override;
    bool formUnload() override;

    void cmdVergleich_Click();
    void cmdAbgleich_Click();
    void cmdSDDF1_aendern_Click();
    void optSDDF1_NM_Click();
    void optSDDF1_alternativ_Click();

    bool laeuft() const { return m_laeuft; }
    bool vergleichFertig() const { return m_vergleichFertig; }
    // What the write-back writes: the differing pairs of the last finished comparison.
    const QVector<winsv::RueckschreibPaar> &paare() const { return m_paare; }
    // The open-file dialog (tests answer it without a window): returns the chosen name or "".
    std::function<QString()> dateiDialog;

    QGroupBox *Frame1 = nullptr;
    QLabel *Label7 = nullptr, *Label5 = nullptr, *Label8 = nullptr;
    QRadioButton *optSDDF1_NM = nullptr, *optSDDF1_alternativ = nullptr;
    QPushButton *cmdSDDF1_aendern = nullptr, *cmdVergleich = nullptr, *cmdAbgleich = nullptr;
    QLabel *lblUnterschiede = nullptr, *lblProzent = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    VSGrid *fg = nullptr, *fg_nurWinSV = nullptr, *fg_nurNM = nullptr, *fg_falscheKlasse = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class Lauf;
    void place(QWidget *w, int left, int top, int width, int height);
    winsv::Wahl gewaehlt() const;
    void optionWaehlen(winsv::Wahl wahl);
    void vergleichen();
    void laufBeginnen();
    void laufBeenden();
    QString dialogZeigen();

    bool m_laeuft = false;
    bool m_vergleichFertig = false;
    QVector<winsv::RueckschreibPaar> m_paare;
    bool m_schliessenNachLauf = false;
};
