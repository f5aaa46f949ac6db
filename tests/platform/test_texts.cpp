#include "platform/datetexts.h"
#include "platform/docopener.h"
#include "platform/msg.h"
#include "platform/ripemd160.h"
#include "platform/textcodec.h"
#include "platform/textzuschnitt.h"
#include "platform/units.h"
#include "support/testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(TextCodec, Windows1252BothWays)
{
    const QByteArray b = textcodec::toWindows1252(QStringLiteral("€äß"));
    EXPECT_EQ(b, QByteArray("\x80\xe4\xdf"));
    EXPECT_EQ(textcodec::fromWindows1252(b), QStringLiteral("€äß"));
    bool alle = true;
    textcodec::toWindows1252(QStringLiteral("Ω"), &alle);
    EXPECT_FALSE(alle);
    EXPECT_EQ(textcodec::decodeUtf8OrWindows1252(QStringLiteral("Größe").toUtf8()), QStringLiteral("Größe"));
    EXPECT_EQ(textcodec::decodeUtf8OrWindows1252(b), QStringLiteral("€äß"));
}

TEST(Zuschnitt, CutsToTheColumnSizeWithoutSplittingAnEmoji)
{
    const QString emoji = QStringLiteral("\U0001F600"); // two UTF-16 units
    const struct {
        QString text;
        int groesse;
        QString erwartet;
    } faelle[] = {{"abcdef", 3, "abc"},         {"abc", 3, "abc"},          {"ab", 5, "ab"},
                  {"abc", 0, ""},               {"ab" + emoji, 3, "ab"},    {"ab" + emoji, 4, "ab" + emoji},
                  {"a" + emoji + "b", 2, "a"},  {emoji + emoji, 3, emoji}, {"ä" + emoji, 2, "ä"}};
    for (const auto &f : faelle)
        EXPECT_EQ(zuschnitt::kuerzen(f.text, f.groesse), f.erwartet) << qPrintable(f.text) << " " << f.groesse;
}

TEST(Ripemd160, KnownVectors)
{
    EXPECT_EQ(hashing::ripemd160Hex(""), QString("9c1185a5c5e9fc54612808977ee8f548b2258d31"));
    EXPECT_EQ(hashing::ripemd160Hex("abc"), QString("8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"));
    // The login hashes Windows-1252 bytes, not UTF-8.
    EXPECT_NE(hashing::passwordHash(QStringLiteral("Grüße1")), hashing::ripemd160Hex(QStringLiteral("Grüße1").toUtf8()));
}

TEST(DateTexts, FixedGermanNamesAndFormatCodes)
{
    const QDateTime dt(QDate(2024, 3, 9), QTime(8, 7, 5));
    EXPECT_EQ(datetexts::weekdayShort(dt.date()), QString("Sa"));
    EXPECT_EQ(datetexts::weekdayLong(QDate(2024, 3, 10)), QString("Sonntag"));
    EXPECT_EQ(datetexts::monthLong(3), QString("März"));
    EXPECT_EQ(datetexts::format(dt, "dd.mm.yyyy hh:mm:ss"), QString("09.03.2024 08:07:05"));
    EXPECT_EQ(datetexts::format(dt, "dddd, d. mmmm yy"), QString("Samstag, 9. März 24"));
    EXPECT_EQ(datetexts::format(dt.date(), "ddd dd.mm."), QString("Sa 09.03."));
    EXPECT_EQ(datetexts::format(dt, "hh:mm dd.mm.yyyy"), QString("08:07 09.03.2024"));
}

TEST(Units, TwipsAndBgrColours)
{
    EXPECT_EQ(units::twipsToPixels(1440), 96);
    EXPECT_EQ(units::twipsToPixels(15), 1);
    EXPECT_EQ(units::pixelsToTwips(96), 1440);
    EXPECT_EQ(units::rgb(128, 255, 128), 8454016);
    EXPECT_EQ(units::rgb(255, 0, 0), units::Red);
    EXPECT_EQ(units::toQColor(units::Blue), QColor(0, 0, 255));
    EXPECT_EQ(units::fromQColor(QColor(255, 255, 0)), units::Yellow);
}

TEST(DocOpener, NothingIsOpenedInTestsAndAutomationIsBuiltIn)
{
    EXPECT_EQ(docs::handOver("/gibt/es/nicht.xlsx"), docs::Handover::NotOpened);
    EXPECT_EQ(docs::handOverText(docs::Handover::Opened, "Fertig.", "/tmp/a.docx"), "Fertig.");
    for (const auto h : {docs::Handover::NotOpened, docs::Handover::Failed}) {
        const QString t = docs::handOverText(h, "Fertig.", "/tmp/a b.docx");
        EXPECT_FALSE(t.contains("Fertig.")) << t.toStdString();
        EXPECT_TRUE(t.endsWith("\rDatei: /tmp/a b.docx"));
    }
    {
        const docs::ScopedOpener nimmt([](const QString &) { return true; });
        EXPECT_EQ(docs::handOver("/tmp/a.docx"), docs::Handover::Opened);
        {
            const docs::ScopedOpener keiner([](const QString &) { return false; });
            EXPECT_EQ(docs::handOver("/tmp/a.docx"), docs::Handover::Failed);
        }
        EXPECT_EQ(docs::handOver("/tmp/a.docx"), docs::Handover::Opened);
    }
    EXPECT_EQ(docs::handOver("/tmp/a.docx"), docs::Handover::NotOpened);
}

// The desktop's opener reports through its exit status whether an application took the file: an
// opener that finds none is a failed hand-over, not an opened document.
TEST(DocOpener, TheDesktopOpenersAnswerDecides)
{
    testsupport::Sandbox sb;
    QDir().mkpath(sb.file("bin"));
    const QString gerufen = sb.file("gerufen.txt");
    auto opener = [&](int status, int sekunden = 0) {
        QFile f(sb.file("bin/xdg-open"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\nsleep %3\nexit %2\n")
                    .arg(gerufen)
                    .arg(status)
                    .arg(sekunden)
                    .toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(gerufen);
    };
    const QByteArray path = qgetenv("PATH"), noOpen = qgetenv("ZANDREL_NO_OPEN");
    qputenv("PATH", QFile::encodeName(sb.file("bin")) + ":" + path);
    qunsetenv("ZANDREL_NO_OPEN");
    const QString datei = sb.file("Liste mit Blanks.xlsx");
    opener(3); // xdg-open: no application for the file
    EXPECT_EQ(docs::handOver(datei), docs::Handover::Failed);
    opener(0);
    EXPECT_EQ(docs::handOver(datei), docs::Handover::Opened);
    QFile f(gerufen);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), datei);
    // An application that takes longer than the opener may answer is still opening the document.
    opener(0, 5);
    QElapsedTimer uhr;
    uhr.start();
    EXPECT_EQ(docs::handOver(datei), docs::Handover::Opened);
    EXPECT_LT(uhr.elapsed(), 4500);
    qputenv("PATH", path);
    qputenv("ZANDREL_NO_OPEN", noOpen);
}

namespace {

// What the shown box offered, and which button the key answered.
struct Gezeigt {
    QStringList knoepfe;
    QString standard;
    QString text;
    QString titel;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

int mitTasteBeantworten(const QString &text, int buttons, Qt::Key taste, Gezeigt &g)
{
    auto *warten = new QTimer;
    warten->setInterval(5);
    QObject::connect(warten, &QTimer::timeout, [&g, taste, warten] {
        auto *b = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!b || !b->isVisible())
            return;
        warten->stop();
        // Left to right as the box shows them.
        QList<QAbstractButton *> knoepfe = b->buttons();
        std::sort(knoepfe.begin(), knoepfe.end(), [](QAbstractButton *x, QAbstractButton *y) {
            return x->mapToGlobal(QPoint()).x() < y->mapToGlobal(QPoint()).x();
        });
        for (QAbstractButton *k : knoepfe)
            g.knoepfe << k->text();
        g.standard = b->defaultButton() ? b->defaultButton()->text() : QString();
        g.text = b->text();
        g.titel = b->windowTitle();
        g.icon = b->icon();
        QTest::keyClick(b, taste);
    });
    warten->start();
    const int r = msg::box(text, buttons);
    delete warten;
    return r;
}

} // namespace

TEST(MessageBox, GermanButtonsDefaultAndEscapeAnswerAsWindowsDoes)
{
    msg::clearHandler();
    struct Fall {
        int buttons;
        QStringList knoepfe;
        QString standard;
        int enter, escape;
    };
    const Fall faelle[] = {
        {msg::OKOnly, {"OK"}, "OK", msg::OK, msg::OK},
        {msg::OKCancel, {"OK", "Abbrechen"}, "OK", msg::OK, msg::Cancel},
        // "alle Fehltage löschen": Cancel preset, and Escape must never answer OK.
        {msg::OKCancel | msg::DefaultButton2, {"OK", "Abbrechen"}, "Abbrechen", msg::Cancel, msg::Cancel},
        {msg::YesNo, {"Ja", "Nein"}, "Ja", msg::Yes, msg::No},
        {msg::YesNo | msg::DefaultButton2 | msg::Question, {"Ja", "Nein"}, "Nein", msg::No, msg::No},
        {msg::YesNoCancel, {"Ja", "Nein", "Abbrechen"}, "Ja", msg::Yes, msg::Cancel},
        {msg::YesNoCancel | msg::DefaultButton3, {"Ja", "Nein", "Abbrechen"}, "Abbrechen", msg::Cancel, msg::Cancel},
        {msg::RetryCancel, {"Wiederholen", "Abbrechen"}, "Wiederholen", msg::Retry, msg::Cancel},
    };
    for (const Fall &f : faelle) {
        Gezeigt e, g;
        EXPECT_EQ(mitTasteBeantworten("Frage", f.buttons, Qt::Key_Escape, e), f.escape) << f.buttons;
        EXPECT_EQ(mitTasteBeantworten("Frage", f.buttons, Qt::Key_Return, g), f.enter) << f.buttons;
        EXPECT_EQ(g.knoepfe.join('|').toStdString(), f.knoepfe.join('|').toStdString()) << f.buttons;
        EXPECT_EQ(g.standard.toStdString(), f.standard.toStdString()) << f.buttons;
        EXPECT_EQ(g.icon, (f.buttons & msg::Question) ? QMessageBox::Question : QMessageBox::NoIcon) << f.buttons;
    }
}

TEST(MessageBox, CarriageReturnBreaksTheLineAndTheTitleDefaultsToTheProgram)
{
    msg::clearHandler();
    Gezeigt g;
    mitTasteBeantworten("Startdatum oder Endedatum falsch.\rBeide Tage\r\nmüssen", msg::OKOnly, Qt::Key_Return, g);
    EXPECT_EQ(g.text, QString("Startdatum oder Endedatum falsch.\nBeide Tage\nmüssen"));
    EXPECT_EQ(g.titel, QString("Zandrel"));
    EXPECT_EQ(g.icon, QMessageBox::NoIcon);
}
