#include "core/anmeldung.h"
#include "core/frm_anmeldung.h"
#include "core/frm_main.h"
#include "core/mdl_zandrel.h"
#include "core/startup.h"
#include "support/testsupport.h"
#include "tools/demo/demoschool.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

// The start-up and the login on a generated demo school, as the README's run command starts it.
TEST(DemoStart, EveryDemoUserWithAPasswordLogsIn)
{
    testsupport::Sandbox sb;
    demo::Options o;
    o.out = sb.path();
    o.pupils = 60;
    o.teachers = 8;
    o.classes = 3;
    o.today = QDate(2025, 3, 5);
    const demo::Result r = demo::generate(o);
    testsupport::MsgRecorder boxes;
    ASSERT_TRUE(start::vorbereiten({}));
    EXPECT_TRUE(boxes.boxes.isEmpty());
    EXPECT_FALSE(mdl::Ferien.isEmpty());

    frm_Main haupt;
    int geprueft = 0;
    for (const demo::DemoUser &u : r.users) {
        if (u.password.isEmpty())
            continue;
        frm_Anmeldung a(&haupt);
        EXPECT_GE(a.cmb_Kuerzel->findText(u.kuerzel), 0) << qPrintable(u.kuerzel);
        a.cmb_Kuerzel->setEditText(u.kuerzel);
        a.txtPasswort->setText(u.password + "x");
        a.cmdAnmelden->click();
        EXPECT_FALSE(a.cmdAnmelden->isEnabled()) << qPrintable(u.kuerzel);
        a.txtPasswort->setText(u.password);
        a.cmdAnmelden->setEnabled(true);
        a.cmdAnmelden->click();
        EXPECT_EQ(a.result(), int(QDialog::Accepted)) << qPrintable(u.kuerzel + " " + u.storedAs);
        EXPECT_EQ(mdl::Benutzer, u.kuerzel);
        ++geprueft;
    }
    EXPECT_GE(geprueft, 4);
    start::nachAnmeldung();
    EXPECT_TRUE(haupt.windowTitle().startsWith("Zandrel - Version: "));
    EXPECT_TRUE(haupt.windowTitle().contains(" 0815 "));
    EXPECT_TRUE(boxes.boxes.isEmpty());

    mdl::NMDatenbankZuruecksetzen();
    mdl::dbEigen.close();
    mdl::DatenPfad.clear();
    mdl::PfadSDDF1.clear();
    mdl::Ferien.clear();
    mdl::Benutzer.clear();
}
