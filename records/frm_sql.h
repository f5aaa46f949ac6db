#pragma once
// "SQL-String bearbeiten": a design grid of fields from one of the grade manager's tables becomes
// a SELECT that goes back into the lists window's text box. The statement logic lives in
// records/abfragebau.h.
#include "core/childwindow.h"
#include "records/abfragebau.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;
class VSGrid;
class frm_Listen;

class frm_SQL : public ChildWindow {
    Q_OBJECT
public:
    explicit frm_SQL(QWidget *parent = nullptr);

    // Design rows below the header when the window is loaded.
    static constexpr int Entwurfszeilen = 20;
    enum Spalte { SpFeld = 0, SpTabelle = 1, SpSortierung = 2, SpAnzeigen = 3, SpKriterium = 4, SpOder = 5 };

    void formLoad() override { Form_Load(); }
    void Form_Load();
    void lstTabellen_Click();
    void lstFelder_DblClick();
    // A drop of the selected fields on a grid row (0 the header, -1 below the last row).
    void fg_OLEDragDrop(int zielZeile);
    void fg_Click(int row, int col);
    void fg_KeyUp(int keyCode);
    void fg_CellChanged();
    void cmdCopy_Click();
    void cmdClear_Click();
    void SQL_erstellen();

    // The lists window's "Abfrageeditor": loads the builder when needed, puts the lists window's
    // text and geometry on it and makes it the active window.
    static void ausListenZeigen(frm_Listen &listen);

    // The design rows as they stand in the grid (row 1 on).
    QVector<abfragebau::Zeile> zeilen() const;

    QListWidget *lstTabellen = nullptr, *lstFelder = nullptr;
    VSGrid *fg = nullptr;
    QPlainTextEdit *rtfSQL = nullptr;
    QPushButton *cmdCopy = nullptr, *cmdClear = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QString gewaehlteTabelle() const;
    void zeileSchreiben(int row, const QString &feld);
    void zurueckAufAnfang();

    bool m_dropLaeuft = false; // a drop fills several rows: no rebuild in between
    bool m_baut = false;       // the rebuild's own writes into the grid
    bool m_laedt = false;
    // Where the first load shows the builder (the lists window's place), so that it stands there,
    // at full size, already while the notice of the load is up.
    static QRect s_ersterPlatz;
};
