#pragma once
// "Fehltage - Gründe": the list of absence reasons, edited in a grid and saved as a whole.
// A separate window beside the main window.
#include "absence/grundliste.h"
#include "core/childwindow.h"

#include <QVector>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class VSGrid;

class frm_Fehltage_Grund : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_Fehltage_Grund(QWidget *parent = nullptr);

    void formLoad() override;

    void cmdNeu_Click();
    void cmdNeu2_Click();
    void cmdLoeschen_Click();
    void cmdNachOben_Click();
    void cmdNachUnten_Click();
    void fg_AfterEdit(int row, int col);
    void fg_Click();
    void cmdSpeichern_Click();
    void cmdAbbruch_Click();

    // The grid's rows as they would be saved.
    QVector<absence::GrundZeile> zeilen() const;

    // The colour dialog: the chosen colour, nothing when cancelled. Tests replace it.
    using Farbwahl = std::function<std::optional<long>(long bisher)>;
    static void setFarbwahl(Farbwahl f); // nullptr: the platform's colour dialog

    VSGrid *fg = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr;
    QPushButton *cmdNeu = nullptr, *cmdNeu2 = nullptr, *cmdLoeschen = nullptr, *cmdNachOben = nullptr,
                *cmdNachUnten = nullptr, *cmdAbbruch = nullptr, *cmdSpeichern = nullptr;

private:
    int neueZeile(int vor); // an empty row at `vor` (appended when -1)
    void zeilenTauschen(int a, int b);
    long farbe(int r) const;
    void setFarbe(int r, long farbe);
};
