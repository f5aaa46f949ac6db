#pragma once
// Calendar settings window "Kalender - Einstellungen": period, lock, entry releases, colouring
// of recent changes and the paths of the HTML plans; removal of the entries before the first day.
#include "core/childwindow.h"

#include <QColor>
#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frm_KalenderEinstellungen : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_KalenderEinstellungen(QWidget *parent = nullptr);

    void formLoad() override { Form_Load(); }
    void formActivate() override { Form_Activate(); }

    void Form_Load();
    void Form_Activate();
    void cmd_FarbeAendern_Click();
    void txt_nTage_Validate();
    void cmdSpeichern_Click();
    void cmdAbbrechen_Click();
    void cmdLoeschen_Click();

    // The colour of shp_Farbe as a blue-green-red value.
    long farbe() const { return m_farbe; }
    // The colour dialog: gets the preset colour, returns an invalid colour when cancelled
    // (tests put their own choice here).
    std::function<QColor(const QColor &vorgabe)> farbDialog;

    QLineEdit *txtKalenderErsterTag = nullptr, *txtKalenderLetzterTag = nullptr;
    QPushButton *cmdLoeschen = nullptr;
    QGroupBox *frameFreigabe = nullptr;
    QRadioButton *optFreigabeFrei = nullptr, *optFreigabeGesperrt = nullptr;
    QRadioButton *optSonstigeTermineJa = nullptr, *optSonstigeTermineNein = nullptr;
    QRadioButton *optKlassenfahrtJa = nullptr, *optKlassenfahrtNein = nullptr;
    QLineEdit *txt_nTage = nullptr;
    QFrame *shp_Farbe = nullptr;
    QPushButton *cmd_FarbeAendern = nullptr;
    QLineEdit *txtHTML_L = nullptr, *txtHTML_S = nullptr, *txtHTML_S2 = nullptr;
    QPushButton *cmdSpeichern = nullptr, *cmdAbbrechen = nullptr;

private:
    void aufbauen();
    void farbeSetzen(long farbe);
    // The date of a box; a German message and false when it holds none.
    bool datumLesen(QLineEdit *box, const QString &was, QDate &datum);

    long m_farbe = 0;
};
