#pragma once
// "Abschlussprüfung": the grade-10 classes, their pupils and one pupil's final-exam sheet from
// WinSV's report data; a class choice runs over all its pupils to count the offered early oral
// examinations per subject and to mark the pupils with an annual grade worse than 4.
// One pass at a time: a new class choice during a pass ends the old one, closing waits for its end.
#include "core/childwindow.h"

#include <QHash>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class VSGrid;
namespace winsvdb {
class Connection;
}
namespace ap1 {
struct Blatt;
}

class frm_AP1 : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_AP1(QWidget *parent = nullptr);
    ~frm_AP1() override;

    void formLoad() override;
    bool formUnload() override;

    void lstKlasse_Click();
    void fg_Schueler_Click();
    void fg_Schueler_LeaveCell();

    // Paints one grade label: the trimmed text, coloured by its value, then by the marks and the colour.
    void NoteAnzeigen(QLabel *label, const QString &text, bool flag1 = false, bool flag2 = false, bool flag3 = false,
                      long farbe = 0);
    // Counts one subject of the current pupil from its painted labels.
    void MuendlichZaehlen(QLabel *anzahl, QLabel *muendlich, QLabel *jahr);

    // A label of the sheet or of the counts by its name ("lbl_JRel", "lbl_AnzRel", "lbl_Name"), or nullptr.
    QLabel *zelle(const QString &name) const { return m_zellen.value(name); }
    // Background of a label as a colour long (the window's own colour when none was set).
    long hintergrund(const QLabel *label) const;
    long fensterfarbe() const;

    bool laeuft() const { return m_tiefe > 0; }
    bool verbunden() const { return m_winsv != nullptr; }
    int zeilenzaehler() const { return m_zeile; }
    std::optional<qint64> winsvNummer(int zeile) const { return m_winsvNr.value(zeile); }
    // The open-file dialog (tests answer it without a window): the name as it comes back, "sd.df1" when cancelled.
    std::function<QString()> dateiDialog;

    QLabel *Label1 = nullptr, *Label2 = nullptr;
    QListWidget *lstKlasse = nullptr;
    VSGrid *fg_Schueler = nullptr;
    QFrame *Frame1 = nullptr;
    QGroupBox *Frame5 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class Durchlauf;
    void laden();
    void klasseWaehlen();
    bool blattAnzeigen();
    void blattZeigen(const ap1::Blatt &b, const QString &gridText);
    void werteLeeren();
    void hintergrundSetzen(QLabel *label, long farbe);
    void anordnen();
    void sichtbarMachen();
    QString dialogZeigen();

    void bauen();
    QLabel *label(QWidget *parent, const QString &name, const QString &text, int left, int top, int width, int height,
                  double punkte = 0);
    void place(QWidget *w, int left, int top, int width, int height);

    QHash<QString, QLabel *> m_zellen;
    std::unique_ptr<winsvdb::Connection> m_winsv;
    QVector<std::optional<qint64>> m_winsvNr; // per grid row; none when the pupil has no WinSV number
    int m_zeile = -1;                          // last row written while the grid is filled
    int m_ausfall = 0;                         // failing subjects of the pupil being counted
    int m_lauf = 0;                            // number of the latest class pass
    int m_tiefe = 0;                           // passes running (nested through let-through events)
    bool m_schliessen = false;                 // closing asked for during a pass
};
