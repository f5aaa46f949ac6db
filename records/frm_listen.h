#pragma once
// "erzeugen von Excel-Listen": the administrator and the school office run typed or saved
// queries against the grade manager's database (read only), keep them as query files and save
// the result as a workbook. The logic lives in records/listenlogik.h.
#include "core/childwindow.h"
#include "records/listenlogik.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class VSGrid;

class frm_Listen : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_Listen(QWidget *parent = nullptr);

    void formActivate() override;
    bool formUnload() override;

    void cmd_SQL_ausfuehren_Click();
    void cmdSave_Click();
    void File1_Click();
    void Dir1_Change();
    void Drive1_Change();
    void cmdSaveExcel_Click();
    void fg_KeyPress(int &keyAscii);
    void chkKopfFrei_Click();
    // Puts a run's rows into the grid with the count label (the click then sizes the columns); the
    // texts are moved out of e's rows, the rows and their count stay. weiter is asked row by row;
    // false stops filling (the caller then clears the grid).
    bool ergebnisZeigen(listen::Ergebnis &e, const std::function<bool(accesssql::RunPhase)> &weiter = {});
    void cmdAbfrageeditor_Click();
    void FensterpositionSpeichern();

    // The folder list's folder; setting it raises Dir1_Change.
    QString dirPath() const { return m_dirPath; }
    void setDirPath(const QString &path);
    // Picks a drive (a mounted volume's root) as the drive list does; false when not ready
    // ("Das Laufwerk ist nicht bereit." unless melden is false).
    bool setDrive(const QString &root, bool melden = true);
    QString drive() const { return m_drive; }

    // Save dialogs (tests answer them without a window): start folder, preset file name, filter;
    // returns the chosen full name, or the preset name unchanged when cancelled.
    std::function<QString(const QString &startOrdner, const QString &dateiname, const QString &filter)> speichernDialog;
    // Limits of a run (tests lower them): rows shown, memory of a result, and the time after
    // which a running statement shows the progress window with "Abbrechen".
    int maxZeilen = listen::MaxZeilen;
    qint64 maxBytes = listen::MaxBytes;
    int wartefensterNachMs = 1000;
    // Milliseconds since the click, asked at every check with the phase the run is in; empty:
    // the real time (tests give a clock of their own).
    std::function<qint64(accesssql::RunPhase)> laufzeit;
    // Asked on the run's own thread at each of its checks (tests hold a run in a phase); true goes on.
    std::function<bool(accesssql::RunPhase)> imLauf;
    // Opens the query builder with this window's text and geometry (set by the builder's registration).
    static std::function<void(frm_Listen &listen)> abfrageeditorZeigen;

    QPlainTextEdit *rtfSQL = nullptr;
    QPushButton *cmd_SQL_ausfuehren = nullptr, *cmdSave = nullptr, *cmdAbfrageeditor = nullptr,
                *cmdSaveExcel = nullptr;
    VSGrid *fg = nullptr;
    QCheckBox *chkKopfFrei = nullptr;
    QLabel *lblAnzahl = nullptr, *Label1 = nullptr, *Label2 = nullptr;
    QComboBox *Drive1 = nullptr;
    QListWidget *Dir1 = nullptr, *File1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void place(QWidget *w, int left, int top, int width, int height);
    void gridLeeren();
    bool spaltenAnpassen(const std::function<bool(accesssql::RunPhase)> &weiter);
    // Runs the statement on its own thread and waits for its result; the progress window shows
    // after the wait time (gezeigt is then set).
    listen::Ergebnis laufAbwarten(const listen::Auftrag &auftrag, const std::function<qint64(accesssql::RunPhase)> &zeit,
                                  bool &gezeigt);
    void laufwerkeFuellen();
    void laufwerkWechseln(bool melden);
    QString dialogZeigen(const QString &startOrdner, const QString &dateiname, const QString &filter);

    QString m_dirPath;
    QString m_drive;
    bool m_laeuft = false;
};
