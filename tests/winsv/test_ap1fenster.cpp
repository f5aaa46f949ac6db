// The final-exam overview window: load, class pass with counts and marks, pupils WinSV lacks,
// a class choice or a close during a running pass, a missing data file, large classes.
#include "winsvfixture.h"

#include "core/frm_main.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"
#include "winsv/ap1logik.h"
#include "winsv/frm_ap1.h"
#include "winsv/register_winsv.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Ap1Fixture : WinsvFixture {
    zdb::Db sv;
    Ap1Fixture() { sv.open(winsvPfad); }
    void klasse(const QString &k, const QString &geschlecht = QStringLiteral("M"))
    {
        nm.exec("INSERT INTO Klassen (Klasse) VALUES (?)", {k});
        winsv("INSERT INTO DKlassen (K_NAME, K_LEITER, K_LEITER_TITEL, K_LEITER_GESCHL) VALUES (?, 'Huber', '', ?)",
              {k, geschlecht});
    }
    // A pupil in both databases with a report row; zeugnis = {field number, text}.
    void schueler(int id, const QString &name, const QString &kl, QList<std::pair<int, QString>> zeugnis = {},
                  bool inWinsv = true)
    {
        WinsvPupil p;
        p.id = QString::number(id);
        p.name = name;
        p.klasse = kl;
        p.ar = QStringLiteral("3b");
        addNm(p);
        if (!inWinsv)
            return;
        winsv("INSERT INTO DSchueler (_SCHUELER_ID, KLASSE, FAMILIENNAME, RUFNAME, AUSBILDUNGSR) VALUES (?,?,?,?,?)",
              {p.id, kl, name, p.vorname, p.ar});
        QStringList cols{"_Z_SCHUELER_ID"}, marks{"?"};
        QVariantList werte{p.id};
        for (const auto &[n, t] : zeugnis) {
            cols << QStringLiteral("Z_%1").arg(n, 2, 10, QLatin1Char('0'));
            marks << "?";
            werte << t;
        }
        winsv("INSERT INTO DZeugnis (" + cols.join(',') + ") VALUES (" + marks.join(',') + ")", werte);
    }
    void winsv(const QString &sql, const QVariantList &params) { sv.exec(sql, params); }
};

QString anz(const frm_AP1 &w, const QString &fach) { return w.zelle("lbl_Anz" + fach)->text(); }

// The count labels that hold a number.
QStringList gezaehlt(const frm_AP1 &w)
{
    QStringList out;
    for (const QString &f : ap1::faecher())
        if (!anz(w, f).isEmpty())
            out << f + "=" + anz(w, f);
    return out;
}

QStringList schuelerListe(const frm_AP1 &w)
{
    QStringList out;
    for (int r = 0; r < w.fg_Schueler->rows(); ++r)
        out << w.fg_Schueler->textMatrix(r, 0);
    return out;
}

} // namespace

TEST(Ap1Fenster, LadenZaehltMarkiertUndZeigtErstenSchueler)
{
    Ap1Fixture f;
    f.klasse("10a", "m");
    f.klasse("10b", "W");
    f.klasse("9a");
    f.schueler(1, "Adam", "10a", {{1, "5"}, {26, "  "}});           // Rel failing: its oral exam offered
    f.schueler(2, "Bauer", "10a", {{1, "3"}, {53, "26"}, {27, "5"}}); // D oral 6, Eth oral 5: both light red
    f.schueler(3, "Clausen", "10a", {}, false);                       // not in WinSV
    f.schueler(5, "Ernst", "10a");                                    // no report row
    f.winsv("DELETE FROM DZeugnis WHERE _Z_SCHUELER_ID = '5'", {});
    f.schueler(4, "Dorn", "10b", {{25, "6"}});
    f.winsv("UPDATE DSchueler SET KLASSE = '10b ' WHERE _SCHUELER_ID = '4'", {}); // WinSV pads the class

    frm_AP1 w;
    testsupport::MsgRecorder rec;
    w.formLoad();
    EXPECT_TRUE(rec.boxes.isEmpty()) << rec.texts().join(" | ").toStdString();
    EXPECT_TRUE(w.verbunden());
    EXPECT_EQ(settings::getSetting("PFAD", "sd.df1"), f.winsvPfad);
    ASSERT_EQ(w.lstKlasse->count(), 2);
    EXPECT_EQ(w.lstKlasse->currentItem()->text(), "10a");
    EXPECT_EQ(schuelerListe(w), QStringList({"Adam, Max", "Bauer, Max", "Clausen, Max", "Ernst, Max"}));
    EXPECT_EQ(w.winsvNummer(1), 2);
    EXPECT_EQ(w.zeilenzaehler(), 3);
    EXPECT_EQ(gezaehlt(w), QStringList({"Rel=1", "Eth=1", "D=1"}));
    EXPECT_EQ(w.fg_Schueler->cellBackColor(0, 0), ap1::Hellrot);
    EXPECT_EQ(w.fg_Schueler->cellBackColor(1, 0), 0);
    EXPECT_EQ(w.fg_Schueler->cellBackColor(2, 0), 0);
    // the sheet shows the first pupil again
    EXPECT_EQ(w.zelle("lbl_Name")->text(), "Adam, Max");
    EXPECT_EQ(w.zelle("lbl_Klassenleiter")->text(), "Herr  Huber");
    EXPECT_EQ(w.hintergrund(w.zelle("lbl_MRel")), ap1::Hellrot);

    // a pupil WinSV lacks shows no grades of the pupil before him
    w.fg_Schueler->setRow(2);
    w.fg_Schueler_Click();
    EXPECT_EQ(w.zelle("lbl_Name")->text(), "Clausen, Max");
    EXPECT_EQ(w.zelle("lbl_JRel")->text(), "");
    EXPECT_NE(w.hintergrund(w.zelle("lbl_MRel")), ap1::Hellrot);
    EXPECT_EQ(w.zelle("lbl_Klassenleiter")->text(), "keine Daten in der WinSV");
    w.fg_Schueler->setRow(3);
    w.fg_Schueler_Click();
    EXPECT_EQ(w.zelle("lbl_Klassenleiter")->text(), "Herr  Huber   (kein Zeugnis in der WinSV)");

    // the next class: only its own counts
    w.lstKlasse->setCurrentRow(1);
    EXPECT_EQ(schuelerListe(w), QStringList({"Dorn, Max"}));
    EXPECT_EQ(gezaehlt(w), QStringList({"IT=1"}));
    EXPECT_EQ(w.fg_Schueler->cellBackColor(0, 0), ap1::Hellrot);
    EXPECT_EQ(w.zelle("lbl_Klassenleiter")->text(), "Frau  Huber");
}

TEST(Ap1Fenster, KlassenwahlWaehrendDesLaufs)
{
    Ap1Fixture f;
    f.klasse("10a");
    f.klasse("10b");
    for (int i = 0; i < 5; ++i)
        f.schueler(10 + i, QStringLiteral("A%1").arg(i), "10a", {{1, "5"}});
    f.schueler(20, "Berg", "10b", {{2, "6"}});
    frm_AP1 w;
    testsupport::MsgRecorder rec;
    bool gewechselt = false;
    QTimer::singleShot(0, &w, [&] {
        gewechselt = w.laeuft();
        w.lstKlasse->setCurrentRow(1);
    });
    w.formLoad();
    EXPECT_TRUE(gewechselt);
    EXPECT_FALSE(w.laeuft());
    EXPECT_EQ(schuelerListe(w), QStringList({"Berg, Max"}));
    EXPECT_EQ(w.winsvNummer(0), 20);
    EXPECT_FALSE(w.winsvNummer(1).has_value());
    EXPECT_EQ(gezaehlt(w), QStringList({"Eth=1"}));
    EXPECT_EQ(w.zelle("lbl_Name")->text(), "Berg, Max");
}

TEST(Ap1Fenster, SchliessenWartetAufDasEndeDesLaufs)
{
    Ap1Fixture f;
    f.klasse("10a");
    for (int i = 0; i < 4; ++i)
        f.schueler(10 + i, QStringLiteral("A%1").arg(i), "10a", {{1, "5"}});
    frm_AP1 w;
    testsupport::MsgRecorder rec;
    bool verweigert = false;
    QTimer::singleShot(0, &w, [&] { verweigert = !w.formUnload(); });
    w.formLoad();
    EXPECT_TRUE(verweigert);
    EXPECT_EQ(anz(w, "Rel"), "1"); // the pass stopped after its first pupil
    EXPECT_TRUE(settings::getSetting("Fenster", "AP1Height").isEmpty());
    EXPECT_TRUE(w.formUnload());
    EXPECT_FALSE(settings::getSetting("Fenster", "AP1Height").isEmpty());
}

TEST(Ap1Fenster, OhneDatendateiBleibtDieKlassenlisteLeer)
{
    Ap1Fixture f;
    f.klasse("10a");
    mdl::PfadSDDF1 = f.box.file("weg/sd.df1");
    frm_AP1 w;
    int fragen = 0; // a long name of no file asks again, the cancelled dialog's "sd.df1" stops
    w.dateiDialog = [&] { return ++fragen == 1 ? f.box.file("gibtsnicht.df1") : QStringLiteral("sd.df1"); };
    testsupport::MsgRecorder rec;
    w.formLoad();
    EXPECT_EQ(fragen, 2);
    EXPECT_EQ(rec.texts(), QStringList({"Bitte geben Sie den Pfad zur OMNIS-Datendatei 'sd.df1' der WinSV an.",
                                        "Die Datendatei der WinSV wurde nicht gefunden."}));
    EXPECT_EQ(w.lstKlasse->count(), 0);
    EXPECT_FALSE(w.verbunden());
    EXPECT_EQ(mdl::PfadSDDF1, "sd.df1");
    EXPECT_EQ(settings::getSetting("PFAD", "sd.df1"), "");
    EXPECT_EQ(w.zelle("lbl_AnzRel")->text(), "Rel"); // design caption kept
}

// Shown from the main window once, its size kept; a class of 55 has no limit.
TEST(Ap1Fenster, HauptfensterZeigtUndMerktGroesse)
{
    Ap1Fixture f;
    f.klasse("10a");
    {
        zdb::WriteTransaction a(f.nm), b(f.sv);
        for (int i = 0; i < 55; ++i)
            f.schueler(100 + i, QStringLiteral("S%1").arg(i, 2, 10, QLatin1Char('0')), "10a",
                       {{i == 0 ? 1 : 4, i == 0 || i == 54 ? "6" : "2"}});
        a.commit();
        b.commit();
    }
    registerWinsvWindows();
    settings::saveSetting("Fenster", "AP1Width", "7500");
    settings::saveSetting("Fenster", "AP1Height", "x"); // no number: the client area's height
    frm_Main m;
    m.show();
    testsupport::MsgRecorder rec;
    m.AP1Zeigen();
    auto *w = qobject_cast<frm_AP1 *>(m.fenster("frm_AP1"));
    ASSERT_NE(w, nullptr);
    auto *sub = qobject_cast<QMdiSubWindow *>(w->rahmen());
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isVisible());
    EXPECT_EQ(sub->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(sub->width(), 500);
    EXPECT_EQ(w->zelle("lbl_AnzRel")->text(), "1");
    settings::saveSetting("Fenster", "AP1Width", ""); // written again at closing
    ASSERT_EQ(w->fg_Schueler->rows(), 55);
    EXPECT_EQ(w->fg_Schueler->cellBackColor(54, 0), ap1::Hellrot); // the 55th pupil is read and marked
    m.AP1Zeigen(); // one instance
    EXPECT_EQ(m.fenster("frm_AP1"), w);
    ASSERT_TRUE(m.entladen("frm_AP1"));
    EXPECT_EQ(settings::getSetting("Fenster", "AP1Width"), "7500");
    EXPECT_EQ(settings::getSetting("Fenster", "AP1Left"), "0");
}
