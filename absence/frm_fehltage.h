#pragma once
// The absence window: class list, school-year calendar per class, entry panel, person panel
// with absence list, contact data and search, day list and the list and document buttons.
#include "absence/absenzrecord.h"
#include "absence/fehltagekalender.h"
#include "absence/grundtabelle.h"
#include "absence/personencache.h"
#include "absence/personentabelle.h"
#include "core/childwindow.h"

#include <QDate>
#include <QDateTime>
#include <array>
#include <memory>
#include <optional>
#include <utility>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class VSGrid;

class frm_Fehltage : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_Fehltage(QWidget *parent = nullptr);
    ~frm_Fehltage() override;

    // The loaded window, or nullptr.
    static frm_Fehltage *instanz();
    // Closes the window when it is loaded and visible (after all absences were deleted).
    static void schliessenWennOffen();
    // "alle Fehltage löschen": asks (Cancel preset), deletes every absence record, closes an open
    // absence window and reports. True when deleted.
    static bool FehltageLoeschen();
    // The daily person cache: refilled from the grade manager unless its oldest row is from today;
    // giving up the wait for the grade manager empties it.
    static absence::Personencache::Ergebnis PersonenAktualisieren(const QDateTime &jetzt = QDateTime::currentDateTime());

    void formLoad() override;
    void formActivate() override;
    bool formUnload() override { return true; }

    // ---- shared machinery of the absence window
    void ListeGrundErstellen();
    long FarbeDesGrundes(const QString &code) const { return m_gruende.farbeDesGrundes(code); }
    QString GrundKlartext(const QString &code) const { return m_gruende.grundKlartext(code); }
    // Display name and class of a person id (both empty when unknown).
    absence::Personentabelle::Person PersonSuchen(const QString &id) const { return m_personen.suchen(id); }
    bool PersonenZeilenErstellen(const absence::Abfrage &abfrage);
    void AbsenzenInKalenderEintragen();
    void EingabeLeeren();
    void AbsenzListeKopfErstellen();
    void KontaktfelderLeeren();
    absence::Fehltagekalender &kalender() { return *m_kalender; }
    int klassenLadungen() const { return m_klassenLadungen; } // class loads since the window was made

    // ---- class list
    void fgKlassen_Click();
    void Timer1_Timer();

    // ---- entry panel
    void FehltagLaden(const QString &id, const QDate &tag);
    void AbsenzSpeichern(const QString &id, const QDate &tag);
    void GanztagAbsenzSpeichern(const QString &id, const QDate &tag, const QString &grund);
    void txt_Zaehlt_LostFocus();
    void cmd_zaehlt_Click(int index);
    void chk_entschuldigt_MouseUp();
    void txtBemerkung_LostFocus();

    // ---- person panel
    void AbsenzenDerPersonAnzeigen(const QString &id);
    void KontaktdatenAnzeigen(const QString &id);
    void txtSuche_Change();

    // The panel's key: the chosen person (lblSNr) and day (invalid date: no day chosen).
    QDate gewaehlterTag() const;

    // ---- calendar clicks and the reason pop-up (mouse row and column of fgSchueler)
    void fgSchueler_MouseDown(int button, int r, int c);
    void fgSchueler_MouseUp(int button, int r, int c);
    // Right click (button 2) on reason box k (0 the reason, 1..10 the lessons).
    void txtStd_MouseDown(int k, int button);
    void fgGrund_Click();

    // ---- day list of the chosen day
    void KrankeEintragen(const QDate &tag);
    void fgKranke_MouseDown(int r, int c);

    // ---- period of the lists over longer times (txtStartTag, txtEndeTag)
    // True when the period lies in the school year; else shows the message and returns false.
    bool ZeitraumPruefen();
    // The period when it is valid (no message).
    std::optional<std::pair<QDate, QDate>> zeitraum() const;
    void cmdUeberblick_Click();

    // The date the test clock or the real clock gives.
    static QDate heute();
    static void setHeuteFuerTests(const QDate &d); // invalid date: the real clock

    // ---- controls (names as the program uses them)
    VSGrid *fgKlassen = nullptr, *fgSchueler = nullptr, *fgGrund = nullptr, *fgKranke = nullptr,
           *fgSchuelerAbsenzen = nullptr;
    QLabel *lblToolTipp = nullptr, *Label2 = nullptr, *Label3 = nullptr, *lblDatum = nullptr, *lblAnzahl = nullptr,
           *lblInfo = nullptr, *lblFehltage = nullptr;
    QTimer *Timer1 = nullptr;
    QGroupBox *frame_Heute = nullptr, *Frame2 = nullptr, *Frame3 = nullptr, *Frame4 = nullptr, *Frame5 = nullptr;
    QPushButton *cmdDrucken = nullptr, *cmdExcel = nullptr;
    QCheckBox *chkGrund = nullptr, *chkGrundKlartext = nullptr, *chkBemerkung = nullptr, *chkLK = nullptr;
    QLabel *lblSName = nullptr, *lblSKlasse = nullptr, *lblTag = nullptr, *lblSNr = nullptr;
    std::array<QLineEdit *, 11> txtStd{};
    QLineEdit *txtBemerkung = nullptr, *txt_Zaehlt = nullptr, *txt_Dummy = nullptr;
    QCheckBox *chk_entschuldigt = nullptr;
    std::array<QPushButton *, 3> cmd_zaehlt{};
    QPushButton *cmdUnterrichtsbefreiung = nullptr;
    QLabel *lblName = nullptr, *lblStrasse = nullptr, *lblPlzOrt = nullptr, *lblName1 = nullptr, *lblGilt1 = nullptr,
           *lblArt1 = nullptr, *lblName2 = nullptr, *lblGilt2 = nullptr, *lblArt2 = nullptr;
    QLineEdit *txtTelefon = nullptr, *txtTelefon1 = nullptr, *txtTelefon2 = nullptr;
    QLineEdit *txtSuche = nullptr;
    QPushButton *cmdDel = nullptr;
    QLabel *Label30 = nullptr;
    QLineEdit *txtStartTag = nullptr, *txtEndeTag = nullptr, *txt_n_Fehltage = nullptr;
    QPushButton *cmdUeberblick = nullptr, *cmdWord = nullptr, *cmd_unentschuldigt = nullptr,
                *cmdVieleFehltage = nullptr;
    QCheckBox *chkExtraSeite = nullptr;

    // Form-level state
    QDate SchuljahrBeginn;
    QString SchuljahrEnde;
    QString PopupHerkunft;            // "fgSchueler", or the index of the panel box; "" before the first
    int MausZeile = 0, MausSpalte = 0; // calendar cell of the last mouse press

protected:
    void resizeEvent(QResizeEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void steuerelementeErstellen();
    void klassenlisteFuellen();
    void klassenlisteMausBewegung();
    void klasseLaden(int r);
    void tickKlicken(int r, int c);
    void kalenderVerbinden();
    void dokumenteVerbinden(); // Word documents and Excel lists
    void gruendeAnbieten(bool lehrer);
    void popupZeigen(int links, int oben);
    void popupSchliessen();
    void tageslisteGruppenLinien(int spalte, int zeichen);
    void optionenLaden();
    void optionSpeichern(QCheckBox *box, const QString &key);
    void formResize();
    absence::AbsenzDaten panelDaten() const;

    std::unique_ptr<absence::Fehltagekalender> m_kalender;
    absence::GrundTabelle m_gruende;
    absence::Personentabelle m_personen;
    bool m_inKlassenKlick = false;
    bool m_mausAmCheck = false;
    int m_klassenZeile = -1;   // row of the class list's current cell
    bool m_mausInKlassen = false; // a mouse button is down in the class list
    int m_klassenLadungen = 0;
    // The calendar cell the pop-up was opened for (person id and day).
    QString m_popupId;
    QDate m_popupTag;
};
