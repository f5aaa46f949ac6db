// Every window opened offscreen in the main window at its start size, at a larger one and on a
// small screen (1280 x 800 at 150 %): the texts fit their controls, sibling controls do not
// overlap, every control can be scrolled into view, and design texts are in place.
#include "nmfixture.h"
#include "absence/register_absence.h"
#include "calendar/register_calendar.h"
#include "core/frm_anmeldung.h"
#include "core/frm_main.h"
#include "core/mdl_zandrel.h"
#include "core/startup.h"
#include "core/windowregistry.h"
#include "records/register_records.h"
#include "support/testsupport.h"
#include "tools/demo/demoschool.h"
#include "winsv/register_winsv.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Windows in the order the menus open them, and how.
enum class Art { Kind, Separat, Modal };
struct Fenster {
    const char *name;
    Art art;
};
const Fenster alleFenster[] = {
    {"frm_Fehltage", Art::Kind},          {"frm_Fehltage_Grund", Art::Separat},
    {"frm_Fehltage_Uebertragen", Art::Modal}, {"frm_Kalender", Art::Kind},
    {"frm_KalenderEinstellungen", Art::Kind}, {"frm_LNW", Art::Kind},
    {"frm_Fachbetreuer", Art::Kind},      {"frm_Listen", Art::Kind},
    {"frm_SQL", Art::Kind},               {"frm_UnterrichtBearbeiten", Art::Kind},
    {"frm_Datenabgleich", Art::Kind},     {"frm_AP1", Art::Kind},
};

// Controls placed over one another on purpose: (window, control, control).
struct Absicht {
    const char *fenster, *a, *b;
};
const Absicht gewollt[] = {
    {"frm_LNW", "lstFach", "lstLehrer"},     // one place, one of them shown at a time
    {"frm_Kalender", "frmSchA", "fgKalender"}, // the subject pop-up over the clicked cell
};

QString textVon(const QWidget *w)
{
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    if (auto *g = qobject_cast<const QGroupBox *>(w))
        return g->title();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    return {};
}

QString name(const QWidget *w)
{
    if (!w->objectName().isEmpty())
        return w->objectName();
    return QString::fromLatin1(w->metaObject()->className()) + " \"" + textVon(w) + "\"";
}

QString lage(const QWidget *w)
{
    const QRect r = w->geometry();
    return QStringLiteral("%1 (%2,%3 %4x%5)").arg(name(w)).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

bool gewolltUeber(const QString &fenster, const QWidget *a, const QWidget *b)
{
    for (const Absicht &g : gewollt)
        if (fenster == QLatin1String(g.fenster)
            && ((a->objectName() == QLatin1String(g.a) && b->objectName() == QLatin1String(g.b))
                || (a->objectName() == QLatin1String(g.b) && b->objectName() == QLatin1String(g.a))))
            return true;
    return false;
}

QString ohneKuerzel(QString t)
{
    t.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    t.remove('&');
    t.replace('\x01', '&');
    return t;
}

// Why the control's text does not fit, or "".
QString zuEng(const QWidget *w)
{
    const QFontMetrics fm(w->font());
    if (auto *l = qobject_cast<const QLabel *>(w)) {
        if (l->text().isEmpty() || l->textFormat() == Qt::RichText)
            return {};
        if (l->wordWrap()) {
            const int h = l->heightForWidth(l->width());
            return h > l->height() ? QStringLiteral("needs %1 px height").arg(h) : QString();
        }
        const QSize s = l->sizeHint();
        if (s.width() > l->width() || fm.height() > l->height())
            return QStringLiteral("needs %1x%2").arg(s.width()).arg(fm.height());
        return {};
    }
    if (qobject_cast<const QCheckBox *>(w) || qobject_cast<const QRadioButton *>(w)) {
        const auto *b = static_cast<const QAbstractButton *>(w);
        if (b->text().isEmpty())
            return {};
        const int need = b->sizeHint().width();
        return need > b->width() ? QStringLiteral("needs %1 px").arg(need) : QString();
    }
    if (auto *b = qobject_cast<const QPushButton *>(w)) {
        if (b->text().isEmpty())
            return {};
        const int need = fm.horizontalAdvance(ohneKuerzel(b->text())) + 6;
        return need > b->width() ? QStringLiteral("needs %1 px").arg(need) : QString();
    }
    if (auto *g = qobject_cast<const QGroupBox *>(w)) {
        const int need = fm.horizontalAdvance(ohneKuerzel(g->title())) + 16;
        return need > g->width() ? QStringLiteral("needs %1 px").arg(need) : QString();
    }
    return {};
}

// More than the one pixel that rounding twips to pixels may give two touching controls.
bool ueberlappen(const QRect &a, const QRect &b)
{
    const QRect i = a.intersected(b);
    return i.width() > 1 && i.height() > 1;
}

// Widgets whose children are the window's own controls (not the inner parts of a grid or box).
bool istBehaelter(const QWidget *w)
{
    if (qobject_cast<const QGroupBox *>(w))
        return true;
    const char *k = w->metaObject()->className();
    return qstrcmp(k, "QWidget") == 0 || qstrcmp(k, "QFrame") == 0;
}

void behaelterPruefen(const QString &fenster, QWidget *top, QWidget *b, QStringList &fehler)
{
    QList<QWidget *> kinder;
    for (QObject *o : b->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow() || !w->isVisibleTo(top))
            continue;
        kinder << w;
    }
    const bool rahmen = b != top;
    for (int i = 0; i < kinder.size(); ++i) {
        QWidget *w = kinder[i];
        if (const QString z = zuEng(w); !z.isEmpty())
            fehler << fenster + ": text cut: " + lage(w) + " " + z;
        if (rahmen && !b->rect().contains(w->geometry()))
            fehler << fenster + ": outside its frame " + lage(b) + ": " + lage(w);
        // A control the window's edge cuts off (controls moved out of sight on purpose lie wholly outside).
        if (!rahmen && w->geometry().intersects(b->rect()) && !b->rect().contains(w->geometry()))
            fehler << fenster + ": cut by the window's edge " + QString::number(b->width()) + "x"
                          + QString::number(b->height()) + ": " + lage(w);
        for (int j = i + 1; j < kinder.size(); ++j)
            if (ueberlappen(w->geometry(), kinder[j]->geometry()) && !gewolltUeber(fenster, w, kinder[j]))
                fehler << fenster + ": overlap: " + lage(w) + " / " + lage(kinder[j]);
        if (istBehaelter(w))
            behaelterPruefen(fenster, top, w, fehler);
    }
}

QStringList fensterPruefen(const QString &fenster, QWidget *w)
{
    QStringList fehler;
    behaelterPruefen(fenster, w, w, fehler);
    return fehler;
}

QMdiSubWindow *rahmenVon(QWidget *w)
{
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (auto *s = qobject_cast<QMdiSubWindow *>(p))
            return s;
    return nullptr;
}

// Why a child window is not wholly reachable inside the main window's area, or "".
QString ausserhalbDesBereichs(QWidget *w)
{
    QMdiSubWindow *sub = rahmenVon(w);
    if (!sub)
        return {};
    QMdiArea *a = sub->mdiArea();
    const QRect bereich(QPoint(0, 0), a->viewport()->size());
    const QRect g = sub->geometry();
    if (bereich.contains(g))
        return {};
    return QStringLiteral("frame %1,%2 %3x%4 outside the area %5x%6")
        .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()).arg(bereich.width()).arg(bereich.height());
}

// The scroll area between a child frame and its window, nullptr for a window of its own.
QScrollArea *rollbereichVon(QWidget *w)
{
    for (QWidget *p = w->parentWidget(); p && !qobject_cast<QMdiSubWindow *>(p); p = p->parentWidget())
        if (auto *s = qobject_cast<QScrollArea *>(p))
            return s;
    return nullptr;
}

// The window's controls as the layout checks see them: visible, in the window or its frames,
// and not moved out of sight on purpose (wholly outside the window).
void steuerelementeSammeln(QWidget *top, QWidget *b, QList<QWidget *> &liste)
{
    for (QObject *o : b->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow() || !w->isVisibleTo(top))
            continue;
        if (!QRect(w->mapTo(top, QPoint(0, 0)), w->size()).intersects(top->rect()))
            continue;
        liste << w;
        if (istBehaelter(w))
            steuerelementeSammeln(top, w, liste);
    }
}

// Controls of a child window that cannot be scrolled wholly into view (as much of them as the
// area shows, for one larger than the area), with where they end up.
QStringList nichtErreichbar(const QString &fenster, QWidget *w)
{
    QStringList fehler;
    QScrollArea *rb = rollbereichVon(w);
    if (!rb)
        return {fenster + ": no scroll area around the window"};
    QWidget *bereich = rahmenVon(w)->mdiArea()->viewport();
    QList<QWidget *> steuerelemente;
    steuerelementeSammeln(w, w, steuerelemente);
    // As far as the area scrolls: the control's end at the viewport's end, or its start at the
    // viewport's start for one larger than the viewport.
    auto rollen = [](QScrollBar *b, int anfang, int laenge, int sicht) {
        b->setValue(laenge > sicht ? anfang : anfang + laenge - sicht);
    };
    for (QWidget *c : steuerelemente) {
        const QRect imFenster(c->mapTo(w, QPoint(0, 0)), c->size());
        rollen(rb->horizontalScrollBar(), imFenster.x(), imFenster.width(), rb->viewport()->width());
        rollen(rb->verticalScrollBar(), imFenster.y(), imFenster.height(), rb->viewport()->height());
        const QRect sichtbar = QRect(rb->viewport()->mapTo(bereich, QPoint(0, 0)), rb->viewport()->size())
                                   .intersected(bereich->rect());
        const QRect r(c->mapTo(bereich, QPoint(0, 0)), c->size());
        const QSize soll = c->size().boundedTo(sichtbar.size());
        const QSize ist = r.intersected(sichtbar).size();
        if (ist.width() < soll.width() || ist.height() < soll.height())
            fehler << fenster + ": not reachable: " + lage(c) + " shows " + QString::number(ist.width()) + "x"
                          + QString::number(ist.height()) + " of it";
    }
    rb->horizontalScrollBar()->setValue(0);
    rb->verticalScrollBar()->setValue(0);
    return fehler;
}

// The demo school, logged in as the administrator, with the program's own set-up.
class Fensterlayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        demo::Options o;
        o.out = sb.path();
        o.pupils = 60;
        o.teachers = 8;
        o.classes = 3;
        demo::generate(o);
        start::einrichten(*qApp);
        vorher = windows::registrations();
        registerAbsenceWindows();
        registerCalendarWindows();
        registerRecordsWindows();
        registerWinsvWindows();
        ASSERT_TRUE(start::vorbereiten({}));
    }
    void TearDown() override
    {
        corefixture::sitzungZuruecksetzen();
        QApplication::setFont(schrift);
        windows::restoreRegistrations(vorher);
    }
    void anmelden(frm_Main &haupt)
    {
        frm_Anmeldung a(&haupt);
        a.cmb_Kuerzel->setEditText(QStringLiteral("X"));
        a.txtPasswort->setText(QStringLiteral("admin"));
        a.cmdAnmelden->click();
        ASSERT_EQ(a.result(), int(QDialog::Accepted));
        start::nachAnmeldung();
    }
    // The pupil-to-course window opened in a logged-in main window of the given size.
    QWidget *kurswahl(frm_Main &haupt, const QSize &groesse)
    {
        haupt.resize(groesse);
        haupt.show();
        anmelden(haupt);
        QWidget *w = haupt.zeigen(QStringLiteral("frm_UnterrichtBearbeiten"));
        QApplication::processEvents();
        return w;
    }
    // Opens every window in a main window of the given size and checks each with pruefen.
    void alleOeffnen(const QSize &groesse, const std::function<void(const QString &, QWidget *)> &pruefen)
    {
        frm_Main haupt;
        haupt.resize(groesse);
        haupt.show();
        anmelden(haupt);
        for (const Fenster &f : alleFenster) {
            const QString n = QString::fromLatin1(f.name);
            if (f.art == Art::Modal) {
                QTimer::singleShot(0, [&] {
                    QWidget *w = haupt.fenster(n);
                    QApplication::processEvents();
                    if (w) {
                        pruefen(n, w);
                        w->close();
                    }
                });
                haupt.zeigenModal(n);
                continue;
            }
            QWidget *w = f.art == Art::Separat ? haupt.zeigenSeparat(n) : haupt.zeigen(n);
            ASSERT_NE(w, nullptr) << f.name;
            QApplication::processEvents();
            pruefen(n, w);
        }
        haupt.UnloadChildren();
    }
    testsupport::Sandbox sb;
    testsupport::MsgRecorder boxes;
    QFont schrift = QApplication::font();
    windows::Registrations vorher;
};

// Texts the windows put into their labels at work, at their longest.
void arbeitstexteSetzen(const QString &n, QWidget *w)
{
    if (n != QLatin1String("frm_Fehltage"))
        return;
    w->findChild<QLabel *>(QStringLiteral("lblDatum"))->setText(QStringLiteral("28.02.2026"));
    w->findChild<QLabel *>(QStringLiteral("lblAnzahl"))->setText(QStringLiteral("888 Einträge"));
    auto *info = w->findChild<QLabel *>(QStringLiteral("lblInfo"));
    info->setText(QStringLiteral("Word-Dokument wird erstellt"));
    info->show();
}

// A screen of 1280 x 800 pixels at a scale of 150 %.
const QSize kKleinerBildschirm(853, 533);

} // namespace

TEST_F(Fensterlayout, TextsFitAndControlsDoNotOverlapAtStartSizeAndLarger)
{
    for (const QSize groesse : {QSize(1024, 700), QSize(1600, 1000)}) {
        int geprueft = 0;
        alleOeffnen(groesse, [&](const QString &n, QWidget *w) {
            ++geprueft;
            arbeitstexteSetzen(n, w);
            const QStringList fehler = fensterPruefen(n, w);
            EXPECT_TRUE(fehler.isEmpty()) << groesse.width() << "x" << groesse.height() << "\n"
                                          << qPrintable(fehler.join('\n'));
        });
        EXPECT_EQ(geprueft, int(std::size(alleFenster)));
    }
}

TEST_F(Fensterlayout, EveryControlCanBeScrolledIntoViewOnASmallScreenAndNoneOverlap)
{
    int geprueft = 0;
    alleOeffnen(kKleinerBildschirm, [&](const QString &n, QWidget *w) {
        ++geprueft;
        arbeitstexteSetzen(n, w);
        QStringList fehler = fensterPruefen(n, w);
        if (rahmenVon(w)) {
            if (const QString a = ausserhalbDesBereichs(w); !a.isEmpty())
                fehler << n + ": " + a;
            fehler << nichtErreichbar(n, w);
        } else if (w->width() > kKleinerBildschirm.width() || w->height() > kKleinerBildschirm.height()) {
            fehler << n + ": larger than the screen: " + lage(w);
        }
        EXPECT_TRUE(fehler.isEmpty()) << qPrintable(fehler.join('\n'));
    });
    EXPECT_EQ(geprueft, int(std::size(alleFenster)));
}

TEST_F(Fensterlayout, ControlsStartWithTheirDesignTexts)
{
    struct Entwurf {
        const char *fenster, *control, *text;
    };
    const Entwurf entwuerfe[] = {
        {"frm_Fehltage", "txt_n_Fehltage", "15"},
        {"frm_Fehltage", "Label28", ">="},
        {"frm_Fehltage", "Label29", "Tage"},
        {"frm_Fehltage", "lblZeitraum", "Zeitraum"},
        {"frm_LNW", "txtGrenzschnitt", "4,0"},
        {"frm_LNW", "txtMindestanzahl", "5"},
        {"frm_LNW", "lbl_LNW_T0", "Fach"},
        {"frm_LNW", "lbl_LNW3", "Wicht"},
        {"frm_LNW", "lbl_LNW8", "abgeg."},
        {"frm_Datenabgleich", "lblUnterschiede", "bitte starten Sie den Vergleich"},
        {"frm_AP1", "lbl_AnzRel", "Rel"},
        {"frm_AP1", "lbl_AnzIT", "IT"},
        {"frm_Kalender", "Label5", "Monat"},
        {"frm_Kalender", "Label2", "nur meine Klassen"},
        {"frm_Kalender", "Label6", "Termin eintragen = RechtsKlick"},
        {"frm_Listen", "Label1", "... oder markieren und über STRG-C kopieren"},
        {"frm_Listen", "Label2", "Jeder Text vor dem 'SELECT' wird als Kommentar aufgefasst."},
        {"frm_KalenderEinstellungen", "cmdLoeschen", "davor liegende Einträge löschen"},
    };
    // As designed: made, not yet loaded or activated (activation fills some of them).
    QHash<QString, QHash<QString, QString>> gesehen;
    for (const Fenster &f : alleFenster) {
        std::unique_ptr<QWidget> w(windows::factory(QString::fromLatin1(f.name))(nullptr));
        ASSERT_TRUE(w) << f.name;
        for (QWidget *c : w->findChildren<QWidget *>())
            if (!c->objectName().isEmpty())
                gesehen[f.name].insert(c->objectName(), textVon(c));
    }
    for (const Entwurf &e : entwuerfe) {
        ASSERT_TRUE(gesehen.value(e.fenster).contains(e.control)) << e.fenster << " " << e.control;
        EXPECT_EQ(gesehen.value(e.fenster).value(e.control).toStdString(), e.text) << e.fenster << " " << e.control;
    }
}

TEST_F(Fensterlayout, EveryChildWindowLiesInsideTheMainWindowsAreaAtStartSize)
{
    int geprueft = 0;
    alleOeffnen(QSize(1024, 700), [&](const QString &n, QWidget *w) {
        if (!rahmenVon(w))
            return; // separate and modal windows lie beside the main window
        ++geprueft;
        EXPECT_EQ(ausserhalbDesBereichs(w).toStdString(), "") << qPrintable(n);
        // Nothing of the window lies beyond the area: no scroll bar is needed to reach it.
        QMdiArea *a = rahmenVon(w)->mdiArea();
        EXPECT_FALSE(a->verticalScrollBar()->isVisible()) << qPrintable(n);
        EXPECT_FALSE(a->horizontalScrollBar()->isVisible()) << qPrintable(n);
        // The window shows whole in its frame: its contents need no scrolling at this size.
        QScrollArea *rb = rollbereichVon(w);
        ASSERT_NE(rb, nullptr) << qPrintable(n);
        EXPECT_FALSE(rb->verticalScrollBar()->isVisible()) << qPrintable(n);
        EXPECT_FALSE(rb->horizontalScrollBar()->isVisible()) << qPrintable(n);
    });
    EXPECT_EQ(geprueft, 10);
}

TEST_F(Fensterlayout, PupilToCourseWindowKeepsItsDesignedSizeWhereItFitsAndShrinksWhereNot)
{
    QSize klein, gross;
    for (const QSize groesse : {QSize(1024, 700), QSize(1600, 1000)}) {
        frm_Main haupt;
        QWidget *w = kurswahl(haupt, groesse);
        ASSERT_NE(w, nullptr);
        (groesse.width() < 1600 ? klein : gross) = rahmenVon(w)->size();
        EXPECT_EQ(ausserhalbDesBereichs(w).toStdString(), "") << groesse.width();
        // The grid's lower edge, with its horizontal scroll bar, lies inside the window.
        auto *fg = w->findChild<QAbstractScrollArea *>();
        ASSERT_NE(fg, nullptr);
        EXPECT_LE(fg->geometry().bottom(), w->rect().bottom()) << groesse.width();
        haupt.UnloadChildren();
    }
    EXPECT_EQ(gross, QSize(900, 753)); // 13500 x 11300 twips
    EXPECT_EQ(klein.width(), 900);
    EXPECT_LT(klein.height(), 753);
}

TEST_F(Fensterlayout, AreaScrollsToAChildWindowTheMainWindowHasOutgrown)
{
    frm_Main haupt;
    QWidget *w = kurswahl(haupt, QSize(1024, 700));
    ASSERT_NE(w, nullptr);
    haupt.resize(600, 400);
    QApplication::processEvents();
    QMdiArea *a = haupt.mdiArea();
    ASSERT_TRUE(a->verticalScrollBar()->isVisible());
    ASSERT_TRUE(a->horizontalScrollBar()->isVisible());
    // Scrolled to the end, the window's lower right corner is in view.
    a->verticalScrollBar()->setValue(a->verticalScrollBar()->maximum());
    a->horizontalScrollBar()->setValue(a->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    const QRect g = rahmenVon(w)->geometry();
    EXPECT_LE(g.right(), a->viewport()->width() - 1);
    EXPECT_LE(g.bottom(), a->viewport()->height() - 1);
    haupt.UnloadChildren();
}

TEST_F(Fensterlayout, ChildWindowPlacedPastTheAreasEdgesComesBackWholeAtItsSizeWhenShownAgain)
{
    frm_Main haupt;
    QWidget *w = kurswahl(haupt, QSize(1600, 1000));
    ASSERT_NE(w, nullptr);
    QMdiSubWindow *sub = rahmenVon(w);
    const QSize groesse = sub->size();
    QMdiArea *a = haupt.mdiArea();
    const QSize bereich = a->viewport()->size();
    ASSERT_LT(groesse.width(), bereich.width());
    ASSERT_LT(groesse.height(), bereich.height());
    // Moved by the user until most of it lies right of and below the area.
    sub->move(bereich.width() - 200, bereich.height() - 100);
    QApplication::processEvents();
    ASSERT_NE(ausserhalbDesBereichs(w).toStdString(), "");

    haupt.zeigen(QStringLiteral("frm_UnterrichtBearbeiten"));
    QApplication::processEvents();
    EXPECT_EQ(ausserhalbDesBereichs(w).toStdString(), "");
    // It fits: it keeps its size and moves only as far as it must, to the right and lower edges.
    EXPECT_EQ(sub->size(), groesse);
    EXPECT_EQ(sub->geometry().right(), a->viewport()->width() - 1);
    EXPECT_EQ(sub->geometry().bottom(), a->viewport()->height() - 1);
    EXPECT_FALSE(a->horizontalScrollBar()->isVisible());
    haupt.UnloadChildren();
}
