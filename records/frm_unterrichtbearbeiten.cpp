#include "records/frm_unterrichtbearbeiten.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/units.h"
#include "records/zuordnungen.h"

#include <QLabel>
#include <QKeyEvent>
#include <QListWidget>
#include <functional>

namespace {

// The class list. No class is current until one is chosen: Qt would make the first entry current
// when the list gets the focus, and it would stand highlighted over an empty grid. A class chosen
// with the keys is shown as a clicked one is.
class KlassenListe : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void()> gewaehlt;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        const bool keine = !currentIndex().isValid();
        QListWidget::focusInEvent(event);
        if (keine)
            selectionModel()->clearCurrentIndex();
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        const int vorher = currentRow();
        QListWidget::keyPressEvent(event);
        if (currentRow() >= 0 && currentRow() != vorher && gewaehlt)
            gewaehlt();
    }
};

void setzen(QWidget *w, int left, int top, int width, int height)
{
    const double dpi = w->logicalDpiX();
    w->setGeometry(units::twipsToPixels(left, dpi), units::twipsToPixels(top, dpi),
                   units::twipsToPixels(qMax(0, width), dpi), units::twipsToPixels(qMax(0, height), dpi));
}

// Closes the grade manager's database after a failed read and says why.
void fehlerMelden(const zdb::DbError &e)
{
    mdl::NMDatenbankSchliessen();
    msg::box(e.kind() == zdb::DbError::Other ? QStringLiteral("Fehler!") : e.germanText());
}

} // namespace

frm_UnterrichtBearbeiten::frm_UnterrichtBearbeiten(QWidget *parent)
    : ChildWindow(QStringLiteral("frm_UnterrichtBearbeiten"), parent)
{
    setWindowTitle(QStringLiteral("Übersicht über die Zuordnung 'Schüler-Unterricht'"));
    Label1 = new QLabel(QStringLiteral("Welcher Schüler ist welchem Unterricht zugeordnet? "
                                       "Die Zuordnungen können hier nicht verändert werden."),
                        this);
    auto *liste = new KlassenListe(this);
    liste->gewaehlt = [this] { guarded([this] { lstKlassen_Click(); }); };
    lstKlassen = liste;
    fg = new VSGrid(this);
    leeresGitter();

    connect(lstKlassen, &QListWidget::itemClicked, this, [this] { guarded([this] { lstKlassen_Click(); }); });
    connect(fg, &VSGrid::beforeMouseDown, this,
            [this](int, int, double, double, bool &cancel) { guarded([&] { fg_BeforeMouseDown(cancel); }); });
    connect(fg, &VSGrid::keyPress, this, [this](int &key) { guarded([&] { fg_KeyPress(key); }); });

    setzen(Label1, 960, 120, 10695, 375);
    setzen(lstKlassen, 120, 480, 735, 10590);
    setzen(fg, 960, 480, 12375, 10695);
    resize(units::twipsToPixels(13500), units::twipsToPixels(11300));
    // The hint above the grid whole; some rows of the grid.
    setBenoetigteGroesse(11760, 3000);
}

void frm_UnterrichtBearbeiten::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    const double dpi = logicalDpiX();
    // A window smaller than the grid's corner (minimised) leaves the controls as they are.
    const int breite = units::pixelsToTwips(width(), dpi) - 960 - 100;
    const int hoehe = units::pixelsToTwips(height(), dpi) - 480 - 100;
    if (breite <= 0 || hoehe <= 0)
        return;
    setzen(fg, 960, 480, breite, hoehe);
    setzen(lstKlassen, 120, 480, 735, hoehe);
}

void frm_UnterrichtBearbeiten::leeresGitter()
{
    fg->setRedraw(false);
    zuordnungen::leeresGitter(fg->store());
    fg->setRedraw(true);
}

void frm_UnterrichtBearbeiten::Form_Load()
{
    // The frame takes the designed size; inside the main window it would start at its minimum.
    rahmen()->setGeometry(0, 0, units::twipsToPixels(13500), units::twipsToPixels(11300));
    leeresGitter();
    if (!mdl::NMDatenbankOeffnen())
        return;
    try {
        const QStringList klassen = zuordnungen::klassenLesen(mdl::dbNM());
        if (!klassen.isEmpty()) {
            lstKlassen->clear();
            lstKlassen->addItems(klassen);
        }
    } catch (const zdb::DbError &e) {
        fehlerMelden(e);
        return;
    }
    mdl::NMDatenbankSchliessen();
}

void frm_UnterrichtBearbeiten::lstKlassen_Click()
{
    if (m_laeuft)
        return;
    const QListWidgetItem *item = lstKlassen->currentItem();
    if (!item)
        return;
    m_laeuft = true;
    leeresGitter();
    const QString klasse = item->text();
    zuordnungen::Daten d;
    bool gelesen = false;
    if (mdl::NMDatenbankOeffnen()) {
        try {
            d = zuordnungen::lesen(mdl::dbNM(), klasse);
            mdl::NMDatenbankSchliessen();
            gelesen = true;
        } catch (const zdb::DbError &e) {
            fehlerMelden(e);
        }
    }
    m_laeuft = false;
    if (!gelesen)
        return;
    fg->setRedraw(false);
    zuordnungen::gitterFuellen(fg->store(), d);
    if (!d.schueler.isEmpty())
        fg->autoSize(1, 4);
    kursSpaltenWeiten();
    fg->setRedraw(true);
}

void frm_UnterrichtBearbeiten::kursSpaltenWeiten()
{
    // The course columns keep their 500 twips unless a heading ("Rel Ev") or a sum needs more.
    for (int c = zuordnungen::ErsteKursSpalte; c < fg->cols(); ++c)
        for (int r = 1; r < fg->rows(); ++r)
            if (const QString t = fg->textMatrix(r, c); !t.isEmpty())
                if (const int noetig = fg->textWidthTwips(t); noetig > fg->colWidth(c))
                    fg->setColWidth(c, noetig);
}

void frm_UnterrichtBearbeiten::fg_BeforeMouseDown(bool &cancel)
{
    if (fg->mouseRow() != 3)
        return;
    NachSpalteSortieren(fg->mouseCol());
    cancel = true;
}

void frm_UnterrichtBearbeiten::NachSpalteSortieren(int spalte)
{
    fg->setRedraw(false);
    zuordnungen::nachSpalteSortieren(fg->store(), spalte);
    fg->setRedraw(true);
}

void frm_UnterrichtBearbeiten::fg_KeyPress(int &keyAscii)
{
    if (keyAscii != 3) // Ctrl+C
        return;
    fg->setSelectionMode(VSGrid::SelectionFree);
    fg->copySelection();
}
