#pragma once
// Exam-plan window "Schulaufgabenplan": the grid of days by classes, the own dates, the
// own-classes filter, the month jumps, the details of one day and class, the subject pop-up
// and the HTML plans.
#include "calendar/kalenderexcel.h"
#include "calendar/kalendertage.h"
#include "calendar/markierung.h"
#include "calendar/planerstellung.h"
#include "calendar/terminrechte.h"
#include "core/childwindow.h"

#include <QDate>
#include <QPixmap>
#include <QStringList>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
class VSGrid;

class frm_Kalender : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_Kalender(QWidget *parent = nullptr);

    void formLoad() override { Form_Load(); }
    void formActivate() override { Form_Activate(); }
    bool formUnload() override { return Form_Unload(); }

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    bool Form_Unload();
    void chkMeineKlassen_Click();
    void cmdMonat_Click(int index);
    void fgKalender_AfterScroll();
    // A press on the calendar grid over cell (row, col); -1 outside the cells.
    void fgKalender_MouseDown(int button, int shift, int row, int col);
    void lblSchA_MouseDown(int button);
    void lstSchA_Click(int row);
    void fgDetail_BeforeEdit(int row, int col, bool &cancel);
    void fgDetail_AfterEdit(int row, int col);
    void fgDetail_MouseDown(int row, int col);
    // The school office's tools: copy an entry, paste it (Shift+click), mark cells (Ctrl+click)
    // and delete the marked cells (Delete key).
    void TerminKopieren(int detailZeile);
    void fgDetail_KeyUp(int keyCode, int shift);
    void fgKalender_KeyUp(int keyCode, int shift);
    const kalender::Zwischenablage &zwischenablage() const { return m_ablage; }
    bool cmdHTML_L_Click();
    bool cmdHTML_S_Click();
    bool cmdHTML_S2_Click();
    void lblHTML_Click();
    void cmdExcel_Click();
    // The export's questions and messages around the logic of kalenderexcel.h: `neuAufbauen`
    // rebuilds the grid as the window shows it; `dialog` empty is the real save dialog.
    // Returns the path written, "" when nothing was saved.
    static QString excelExport(VSGrid &grid, const std::function<void()> &neuAufbauen, QWidget *parent,
                               const kalender::SpeicherDialog &dialog = {});
    kalender::SpeicherDialog speicherDialog; // empty: the real save dialog

    void DetailsAnzeigen(const QString &klasse, const QDate &datum);
    void MeineTermineFuellen();
    int ZeileZuDatum(const QDate &datum) const { return m_tabelle.zeileZuDatum(datum); }
    int SpalteZuKlasse(const QString &klasse) const { return m_tabelle.spalteZuKlasse(klasse); }
    void ZeileEinfaerben(int zeile, long farbe);

    bool Geaendert = false;
    int Abstand = 120; // twips

    // Controls, named as the program's code names them.
    QLabel *Label5 = nullptr, *Label2 = nullptr, *Label4 = nullptr, *Label6 = nullptr, *Label7 = nullptr;
    QPushButton *cmdMonat[11] = {};
    QCheckBox *chkMeineKlassen = nullptr;
    VSGrid *fgKalender = nullptr;
    QLabel *lblMeineTermine = nullptr;
    VSGrid *fgMeineTermine = nullptr;
    QGroupBox *frameDetail = nullptr;
    QLabel *lblDetailsZu = nullptr, *lblTag = nullptr, *lblKlasse = nullptr, *lblEinMinute = nullptr;
    VSGrid *fgDetail = nullptr;
    QGroupBox *Frame1 = nullptr;
    QPushButton *cmdHTML_L = nullptr, *cmdHTML_S = nullptr, *cmdHTML_S2 = nullptr;
    QToolButton *cmdExcel = nullptr;
    QLabel *lblHTML = nullptr;
    QFrame *frmSchA = nullptr;
    QLabel *lblSchA = nullptr;
    VSGrid *lstSchA = nullptr;
    QLabel *picSchliess = nullptr;

    // The pop-up cell of the last ordinary click (0/0 when none).
    int popupZeile() const { return m_popupZeile; }
    int popupSpalte() const { return m_popupSpalte; }
    const kalender::KalenderTabelle &tabelle() const { return m_tabelle; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Keeps a handler from running again inside itself while it lets events through.
    struct Sperre {
        explicit Sperre(bool &flag) : m_flag(flag), m_frei(!flag) { m_flag = true; }
        ~Sperre()
        {
            if (m_frei)
                m_flag = false;
        }
        bool frei() const { return m_frei; }
        bool &m_flag;
        bool m_frei;
    };

    void aufbauen();
    void setzeGeometrie(QWidget *w, int left, int top, int width, int height);
    int twips(int px) const;
    int px(int twips) const;
    void popupVerstecken();
    void popupSchliessen();
    void markierungenEntfernen();
    void einfuegen(int r, int c);
    void markieren(int r, int c);
    void markierteZellenLoeschen();
    void detailsLeeren();
    void detailsNeuLaden();
    bool hatRecht(int detailZeile) const;
    // The database's fault told with what was not done (`nichtGetan`, e.g. "Der Termin wurde nicht eingetragen.").
    void datenbankFehler(const class std::exception &e, const QString &nichtGetan = QString());
    // The plans at the settings' paths, in this window's classes and period.
    kalender::PlanErstellung planErstellung() const;
    bool allePlaeneZeigen();

    kalender::KalenderTabelle m_tabelle;
    QStringList m_klassen;
    QDate m_erster, m_letzter;
    bool m_gekuerztGemeldet = false;
    int m_popupZeile = 0, m_popupSpalte = 0;
    int m_klickZeile = 0, m_klickSpalte = 0;
    kalender::SchAAngebot m_angebot;
    QDate m_detailsDatum;
    QPixmap m_schliessen;
    bool m_beschaeftigt = false;
    kalender::Zwischenablage m_ablage;
};
