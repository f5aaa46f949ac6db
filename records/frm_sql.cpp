#include "records/frm_sql.h"
#include "core/frm_main.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/units.h"
#include "platform/valuetext.h"
#include "records/frm_listen.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include <utility>

QRect frm_SQL::s_ersterPlatz;

namespace {

// What a drag out of a list widget carries.
const QString kListenDrag = QStringLiteral("application/x-qabstractitemmodeldatalist");

constexpr int TasteEntf = 46;

// The field list only hands out copies: a drag never removes its entries.
class FeldListe : public QListWidget {
public:
    using QListWidget::QListWidget;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
};

void setzen(QWidget *w, int left, int top, int width, int height)
{
    const double dpi = w->logicalDpiX();
    w->setGeometry(units::twipsToPixels(left, dpi), units::twipsToPixels(top, dpi), units::twipsToPixels(width, dpi),
                   units::twipsToPixels(height, dpi));
}

} // namespace

frm_SQL::frm_SQL(QWidget *parent) : ChildWindow(QStringLiteral("frm_SQL"), parent)
{
    setWindowTitle(QStringLiteral("SQL-String bearbeiten"));
    lstTabellen = new QListWidget(this);
    lstFelder = new FeldListe(this);
    lstFelder->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstFelder->setDragEnabled(true);
    lstFelder->setDragDropMode(QAbstractItemView::DragOnly);
    rtfSQL = new QPlainTextEdit(this);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::Monospace);
    rtfSQL->setFont(mono);
    cmdCopy = new QPushButton(QStringLiteral("SQL-String übernehmen"), this);
    cmdClear = new QPushButton(QStringLiteral("Clear"), this);

    fg = new VSGrid(this);
    fg->setCols(6);
    fg->setRows(Entwurfszeilen + 1);
    fg->setFixedRows(1);
    fg->setFixedCols(0);
    fg->setEditable(true);
    fg->setOleDropMode(1);

    connect(lstTabellen, &QListWidget::itemClicked, this, [this] { guarded([this] { lstTabellen_Click(); }); });
    connect(lstFelder, &QListWidget::itemDoubleClicked, this, [this] { guarded([this] { lstFelder_DblClick(); }); });
    connect(fg, &VSGrid::oleDragDrop, this, [this](const QMimeData *data, int, int, double, double) {
        if (data && data->hasFormat(kListenDrag))
            guarded([this] { fg_OLEDragDrop(fg->mouseRow()); });
    });
    connect(fg, &VSGrid::click, this, [this] { guarded([this] { fg_Click(fg->mouseRow(), fg->mouseCol()); }); });
    connect(fg, &VSGrid::keyPress, this, [](int &key) {
        if (key == 127) // Delete is a key, not a character for the criterion
            key = 0;
    });
    connect(fg, &VSGrid::keyUp, this, [this](int &key, int) { guarded([this, key] { fg_KeyUp(key); }); });
    connect(fg, &VSGrid::cellChanged, this, [this] { guarded([this] { fg_CellChanged(); }); });
    // Only the criteria and the "... ODER" column are typed; the box toggles by a click.
    connect(fg, &VSGrid::beforeEdit, this, [](int row, int col, bool &cancel) {
        if (row < 1 || (col != SpAnzeigen && col != SpKriterium && col != SpOder))
            cancel = true;
    });
    connect(cmdCopy, &QPushButton::clicked, this, [this] { guarded([this] { cmdCopy_Click(); }); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { guarded([this] { cmdClear_Click(); }); });

    resize(units::twipsToPixels(15100), units::twipsToPixels(9750));
    // The criteria grid keeps its columns in view and a few rows below the lists.
    setBenoetigteGroesse(10000, 4600);
}

void frm_SQL::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    const double dpi = logicalDpiX();
    const int breite = units::pixelsToTwips(width(), dpi), hoehe = units::pixelsToTwips(height(), dpi);
    const int felderLeft = 2940, untenTop = 3000, gridLeft = 5640;
    setzen(lstTabellen, 120, 120, 2700, 1815);
    setzen(cmdCopy, 120, 2040, 2700, 375);
    setzen(cmdClear, 120, 2500, 2700, 375);
    int felderBreite = units::pixelsToTwips(lstFelder->width(), dpi);
    if (breite - felderLeft - 100 > 100)
        felderBreite = breite - felderLeft - 100;
    setzen(lstFelder, felderLeft, 120, felderBreite, 2755);
    int sqlHoehe = units::pixelsToTwips(rtfSQL->height(), dpi);
    if (hoehe - untenTop - 100 > 100)
        sqlHoehe = hoehe - untenTop - 100;
    setzen(rtfSQL, 120, untenTop, 5400, sqlHoehe);
    int gridBreite = units::pixelsToTwips(fg->width(), dpi);
    if (breite - gridLeft - 100 > 100)
        gridBreite = breite - gridLeft - 100;
    setzen(fg, gridLeft, untenTop, gridBreite, sqlHoehe);
}

void frm_SQL::Form_Load()
{
    m_laedt = true;
    lstTabellen->clear();
    lstFelder->clear();
    lstTabellen->addItems(abfragebau::tabellen());
    const QStringList kopf{QStringLiteral("Feld"),       QStringLiteral("Tabelle"),   QStringLiteral("Sortierung"),
                           QStringLiteral("Anzeigen"),   QStringLiteral("Kriterium"), QStringLiteral("   ... ODER")};
    for (int c = 0; c < kopf.size(); ++c)
        fg->setTextMatrix(0, c, kopf[c]);
    for (int r = 1; r < fg->rows(); ++r)
        fg->setCellChecked(r, SpAnzeigen, grid::Unchecked);
    fg->autoSize(0, fg->cols() - 1);
    fg->select(0, 0);
    m_dropLaeuft = false;
    m_laedt = false;

    QPointer<frm_SQL> self(this);
    if (s_ersterPlatz.isValid())
        rahmen()->setGeometry(std::exchange(s_ersterPlatz, QRect()));
    rahmen()->show();
    QCoreApplication::processEvents();
    if (!self)
        return;
    if (!mdl::BetaHinweisGezeigt) {
        mdl::BetaHinweisGezeigt = true;
        msg::box(abfragebau::betaHinweis());
    }
}

QString frm_SQL::gewaehlteTabelle() const
{
    const QListWidgetItem *item = lstTabellen->currentItem();
    return item ? vt::trimBlanks(item->text()) : QString();
}

void frm_SQL::lstTabellen_Click()
{
    lstFelder->clear();
    const QString tabelle = gewaehlteTabelle();
    if (tabelle.isEmpty() || !mdl::NMDatenbankOeffnen())
        return;
    QStringList felder;
    try {
        felder = abfragebau::felderLesen(mdl::dbNM(), tabelle);
    } catch (const zdb::DbError &e) {
        mdl::NMDatenbankSchliessen();
        msg::box(e.kind() == zdb::DbError::Other
                     ? QStringLiteral("Die Tabelle '") + tabelle +
                           QStringLiteral("' kann in der Notenmanager-Datenbank nicht gelesen werden.")
                     : e.germanText());
        return;
    }
    mdl::NMDatenbankSchliessen();
    lstFelder->addItems(felder);
}

void frm_SQL::zeileSchreiben(int row, const QString &feld)
{
    fg->setTextMatrix(row, SpFeld, feld);
    fg->setTextMatrix(row, SpTabelle, gewaehlteTabelle());
    fg->setTextMatrix(row, SpSortierung, QString());
    fg->setCellChecked(row, SpAnzeigen, grid::Checked);
}

void frm_SQL::zurueckAufAnfang()
{
    fg->autoSize(0, fg->cols() - 1);
    fg->select(0, 0);
}

void frm_SQL::lstFelder_DblClick()
{
    const QListWidgetItem *item = lstFelder->currentItem();
    if (gewaehlteTabelle().isEmpty() || !item)
        return;
    const QString feld = item->text();
    for (int r = 1; r < fg->rows(); ++r) {
        if (vt::trimBlanks(fg->textMatrix(r, SpFeld)).isEmpty()) {
            m_dropLaeuft = true; // one rebuild for the whole row
            zeileSchreiben(r, feld);
            m_dropLaeuft = false;
            break;
        }
    }
    SQL_erstellen();
    zurueckAufAnfang();
}

void frm_SQL::fg_OLEDragDrop(int zielZeile)
{
    if (gewaehlteTabelle().isEmpty())
        return;
    QStringList felder;
    for (int i = 0; i < lstFelder->count(); ++i)
        if (lstFelder->item(i)->isSelected())
            felder << lstFelder->item(i)->text();
    m_dropLaeuft = true;
    int r = qMax(1, zielZeile);
    auto leer = [this](int row) { return vt::trimBlanks(fg->textMatrix(row, SpFeld)).isEmpty(); };
    if (zielZeile >= 0 && r < fg->rows() && !leer(r)) {
        // Dropped on a field: the new fields go above it, in list order.
        for (const QString &feld : felder) {
            fg->addItem(QString(), r);
            zeileSchreiben(r, feld);
            ++r;
        }
    } else {
        // Elsewhere: from the first empty row on.
        r = 1;
        for (;; ++r) {
            if (r >= fg->rows())
                fg->addItem();
            if (leer(r))
                break;
        }
        for (const QString &feld : felder) {
            if (r >= fg->rows())
                fg->addItem();
            zeileSchreiben(r, feld);
            ++r;
        }
    }
    m_dropLaeuft = false;
    SQL_erstellen();
    zurueckAufAnfang();
}

void frm_SQL::fg_Click(int row, int col)
{
    if (col == SpSortierung) {
        if (row >= 1 && !vt::trimBlanks(fg->textMatrix(row, SpFeld)).isEmpty())
            fg->setTextMatrix(row, SpSortierung, abfragebau::naechsteSortierung(fg->textMatrix(row, SpSortierung)));
        SQL_erstellen();
    } else if (col == SpAnzeigen) {
        SQL_erstellen();
    }
}

void frm_SQL::fg_KeyUp(int keyCode)
{
    if (keyCode != TasteEntf || fg->col() != SpFeld || fg->row() < 1)
        return;
    const int r = fg->row();
    fg->removeItem(r);
    fg->addItem();
    SQL_erstellen();
    fg->setCellChecked(fg->rows() - 1, SpAnzeigen, grid::Unchecked);
    fg->select(r, SpFeld);
}

void frm_SQL::fg_CellChanged()
{
    if (!m_laedt)
        SQL_erstellen();
}

QVector<abfragebau::Zeile> frm_SQL::zeilen() const
{
    QVector<abfragebau::Zeile> z;
    for (int r = 1; r < fg->rows(); ++r)
        z.append({fg->textMatrix(r, SpFeld), fg->textMatrix(r, SpTabelle), fg->textMatrix(r, SpSortierung),
                  fg->textMatrix(r, SpKriterium), fg->cellChecked(r, SpAnzeigen) == grid::Checked});
    return z;
}

void frm_SQL::SQL_erstellen()
{
    if (m_dropLaeuft || m_baut)
        return;
    // The criteria written back raise cell changes; they would rebuild the same text.
    m_baut = true;
    QVector<abfragebau::Zeile> z = zeilen();
    const QString sql = abfragebau::anweisungErstellen(z);
    for (int i = 0; i < z.size(); ++i)
        if (fg->textMatrix(i + 1, SpKriterium) != z[i].kriterium)
            fg->setTextMatrix(i + 1, SpKriterium, z[i].kriterium);
    rtfSQL->setPlainText(QString(sql).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    zurueckAufAnfang();
    m_baut = false;
}

void frm_SQL::cmdClear_Click()
{
    fg->clear();
    Form_Load();
    SQL_erstellen();
}

void frm_SQL::cmdCopy_Click()
{
    if (!abfragebau::hatSortierung(zeilen())) {
        msg::box(QStringLiteral("Es muss mindestens ein Sortierkriterium angegeben werden."));
        return;
    }
    const QString text = rtfSQL->toPlainText();
    rahmen()->hide();
    frm_Main *m = frm_Main::instance();
    if (!m)
        return;
    // The lists window may have been closed meanwhile: it opens again.
    if (auto *listen = qobject_cast<frm_Listen *>(m->zeigen(QStringLiteral("frm_Listen"))))
        listen->rtfSQL->setPlainText(text);
}

void frm_SQL::ausListenZeigen(frm_Listen &listen)
{
    frm_Main *m = frm_Main::instance();
    if (!m)
        return;
    const QRect geometrie = listen.rahmen()->geometry();
    const QString text = listen.rtfSQL->toPlainText();
    auto *b = qobject_cast<frm_SQL *>(m->fenster(QStringLiteral("frm_SQL")));
    if (!b) {
        s_ersterPlatz = geometrie;
        b = qobject_cast<frm_SQL *>(m->zeigen(QStringLiteral("frm_SQL")));
        s_ersterPlatz = QRect();
    }
    if (!b)
        return;
    b->rtfSQL->setPlainText(text);
    b->rahmen()->setGeometry(geometrie);
    m->zeigen(QStringLiteral("frm_SQL"));
}
