// Every writer replaces a file through the one safe writer: after a full disk, missing rights, a
// lock or a killed process the old file is whole, and the user reads the file and a German reason.
#include "platform/docx.h"
#include "platform/docxzip.h"
#include "platform/grid/vsgrid.h"
#include "platform/safefile.h"
#include "platform/xlsxbook.h"
#include "support/testsupport.h"
#include "xlsxlesen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray inhalt(const QString &pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

void anlegen(const QString &pfad, const QByteArray &daten)
{
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(daten);
}

// The writers of the program, each writing something larger than a few kilobytes.
struct Schreiber {
    const char *name;
    const char *datei;
    std::function<bool(const QString &, QString *)> speichern;
};

bool mappe(const QString &pfad, QString *fehler, const QString &kopf = QStringLiteral("neu"))
{
    xlsx::Workbook b;
    b.sheet(1).setValue(1, 1, kopf);
    for (int r = 2; r < 400; ++r)
        for (int c = 1; c <= 8; ++c)
            b.sheet(1).setValue(r, c, QStringLiteral("Zelle %1/%2").arg(r).arg(c));
    return b.save(pfad, fehler);
}

const Schreiber schreiber[] = {
    {"Text", "Wunsch.txt",
     [](const QString &p, QString *f) { return safefile::writeFile(p, QByteArray(20000, 'x'), f); }},
    {"Mappe", "Liste.xlsx", [](const QString &p, QString *f) { return mappe(p, f); }},
    {"Raster", "LNW.xlsx",
     [](const QString &p, QString *f) {
         VSGrid g;
         g.setRows(300);
         g.setCols(6);
         for (int r = 0; r < 300; ++r)
             for (int c = 0; c < 6; ++c)
                 g.setTextMatrix(r, c, QStringLiteral("Text %1").arg(r * 6 + c));
         return g.saveXlsx(p, f);
     }},
    {"Word", "Brief.docx",
     [](const QString &p, QString *f) {
         docx::Dokument d;
         for (int i = 0; i < 300; ++i)
             d.text().schreiben(QStringLiteral("Absatz %1 mit etwas Text\r").arg(i));
         return d.speichern(p, f);
     }},
};

// The user never reads a library's own error text.
void deutscherGrund(const QString &fehler, const QString &pfad, const QString &grund)
{
    EXPECT_TRUE(fehler.startsWith(QStringLiteral("Datei: ") + pfad + QStringLiteral("\rGrund: ")))
        << fehler.toStdString();
    EXPECT_TRUE(fehler.contains(grund)) << fehler.toStdString();
    EXPECT_FALSE(fehler.contains(QLatin1String("ZIP")) || fehler.contains(QLatin1String("rror")))
        << fehler.toStdString();
}

// Runs fn for every writer, each in a fresh folder holding its old file "alt".
void jederSchreiber(const std::function<void(const Schreiber &, const testsupport::Sandbox &, const QString &)> &fn)
{
    for (const Schreiber &s : schreiber) {
        SCOPED_TRACE(s.name);
        testsupport::Sandbox box;
        const QString pfad = box.file(s.datei);
        anlegen(pfad, "alt");
        fn(s, box, pfad);
    }
}

// The old file is whole and nothing was left beside it.
void unversehrt(const Schreiber &s, const testsupport::Sandbox &box, const QString &pfad)
{
    EXPECT_EQ(inhalt(pfad), QByteArray("alt"));
    EXPECT_EQ(QDir(box.path()).entryList(QDir::Files | QDir::Hidden), QStringList{s.datei});
}

} // namespace

TEST(SafeFile, EveryWriterReplacesTheFileKeepingItsRightsWithoutLeftovers)
{
    jederSchreiber([](const Schreiber &s, const testsupport::Sandbox &box, const QString &pfad) {
        ASSERT_EQ(chmod(QFile::encodeName(pfad).constData(), 0640), 0);
        QString fehler;
        ASSERT_TRUE(s.speichern(pfad, &fehler)) << fehler.toStdString();
        EXPECT_GT(inhalt(pfad).size(), 1000);
        struct stat st = {};
        ASSERT_EQ(stat(QFile::encodeName(pfad).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(QDir(box.path()).entryList(QDir::Files | QDir::Hidden), QStringList{s.datei});
    });
}

TEST(SafeFile, AFullDiskLeavesTheOldFileAndNamesTheReason)
{
    jederSchreiber([](const Schreiber &s, const testsupport::Sandbox &box, const QString &pfad) {
        const QString fehler = testsupport::beiVollemDatentraeger([&] {
            QString f;
            return s.speichern(pfad, &f) ? QStringLiteral("gespeichert") : f;
        });
        deutscherGrund(fehler, pfad, QStringLiteral("Der Datenträger ist voll"));
        unversehrt(s, box, pfad);
    });
}

TEST(SafeFile, AMissingFolderIsNamed)
{
    jederSchreiber([](const Schreiber &s, const testsupport::Sandbox &box, const QString &) {
        QString fehler;
        const QString fehlt = box.file(QStringLiteral("fehlt/") + s.datei);
        EXPECT_FALSE(s.speichern(fehlt, &fehler));
        deutscherGrund(fehler, fehlt, QStringLiteral("existiert nicht"));
    });
}

TEST(SafeFile, AFileLockedByAnotherProgramIsKeptWhateverKindOfLock)
{
    using testsupport::FremdeSperre;
    for (const FremdeSperre::Art art : {FremdeSperre::Posix, FremdeSperre::PosixLesen, FremdeSperre::Flock}) {
        SCOPED_TRACE(art == FremdeSperre::Posix ? "fcntl" : art == FremdeSperre::PosixLesen ? "fcntl lesen" : "flock");
        jederSchreiber([&](const Schreiber &s, const testsupport::Sandbox &box, const QString &pfad) {
            QString fehler;
            {
                FremdeSperre sperre(pfad, art);
                ASSERT_TRUE(sperre.haelt());
                EXPECT_FALSE(s.speichern(pfad, &fehler));
            }
            deutscherGrund(fehler, pfad, QStringLiteral("Die Datei ist in einem anderen Programm geöffnet."));
            unversehrt(s, box, pfad);
            // Once the other program has let go, the file is replaced.
            EXPECT_TRUE(s.speichern(pfad, &fehler)) << fehler.toStdString();
        });
    }
    // A flock taken through another descriptor of this very process counts as well.
    testsupport::Sandbox box;
    const QString pfad = box.file(QStringLiteral("plan.html"));
    anlegen(pfad, "alt");
    const int fd = open(QFile::encodeName(pfad).constData(), O_RDONLY);
    ASSERT_EQ(flock(fd, LOCK_SH), 0);
    QString fehler;
    EXPECT_FALSE(safefile::writeFile(pfad, "neu", &fehler));
    close(fd);
    deutscherGrund(fehler, pfad, QStringLiteral("Die Datei ist in einem anderen Programm geöffnet."));
    EXPECT_EQ(inhalt(pfad), QByteArray("alt"));
}

TEST(SafeFile, AReadOnlyFileIsKeptEvenForRoot)
{
    // A file without any write permission is write-protected for every user, root included.
    jederSchreiber([](const Schreiber &s, const testsupport::Sandbox &box, const QString &pfad) {
        ASSERT_EQ(chmod(QFile::encodeName(pfad).constData(), 0444), 0);
        QString fehler;
        EXPECT_FALSE(s.speichern(pfad, &fehler));
        deutscherGrund(fehler, pfad, QStringLiteral("Die Datei ist schreibgeschützt."));
        unversehrt(s, box, pfad);
    });
}

TEST(SafeFile, WithoutTheUsersRightsFileAndFolderAreKept)
{
    // Run as an ordinary user would be, also where the tests run as root.
    jederSchreiber([](const Schreiber &s, const testsupport::Sandbox &box, const QString &pfad) {
        const QString andere = box.file(QStringLiteral("fremd/") + s.datei);
        ASSERT_TRUE(QDir(box.path()).mkpath(QStringLiteral("fremd")));
        anlegen(andere, "fremd");
        const QByteArray andereOrdner = QFile::encodeName(box.file(QStringLiteral("fremd")));
        const QString antwort = testsupport::imKind([&] {
            if (!testsupport::alsGewoehnlicherBenutzer())
                return QStringLiteral("<keine Rechte abgegeben>");
            // Another user's file, writable only by its owner, in a folder everybody may write.
            if (geteuid() == 0 && (chmod(QFile::encodeName(andere).constData(), 0644) != 0
                                   || chown(QFile::encodeName(andere).constData(), 65534, 65534) != 0
                                   || chmod(andereOrdner.constData(), 0777) != 0))
                return QStringLiteral("<chown>");
            QStringList out;
            QString f;
            out << (s.speichern(andere, &f) ? QStringLiteral("gespeichert") : f);
            chmod(QFile::encodeName(box.path()).constData(), 0500); // a folder without write permission
            out << (s.speichern(pfad, &f) ? QStringLiteral("gespeichert") : f);
            chmod(QFile::encodeName(box.path()).constData(), 0700);
            return out.join(QLatin1Char('\n'));
        });
        const QStringList teile = antwort.split(QLatin1Char('\n'));
        ASSERT_EQ(teile.size(), 2) << antwort.toStdString();
        if (geteuid() == 0) { // only root can give a file to another user
            deutscherGrund(teile[0], andere, QStringLiteral("Die Datei ist schreibgeschützt."));
            EXPECT_EQ(inhalt(andere), QByteArray("fremd"));
        }
        deutscherGrund(teile[1], pfad, QStringLiteral("Keine Schreibberechtigung im Ordner"));
        unversehrt(s, box, pfad);
    });
}

TEST(SafeFile, AKilledWriteLeavesTheOldOrTheNewFile)
{
    // Killed at a different moment of the write each time: the file is always a whole package.
    const struct {
        const char *datei;
        std::function<bool(const QString &, int)> speichern;
        std::function<bool(const QString &)> ganz;
    } faelle[] = {
        {"LNW.xlsx", [](const QString &p, int i) { return mappe(p, nullptr, QStringLiteral("Fassung %1").arg(i)); },
         [](const QString &p) { return xlsxlesen::zellen(p).value(QStringLiteral("A1")).startsWith("s:Fassung "); }},
        {"Befreiung.docx",
         [](const QString &p, int i) {
             docx::Dokument d;
             for (int n = 0; n < 3000; ++n)
                 d.text().schreiben(QStringLiteral("Fassung %1, Absatz %2\r").arg(i).arg(n));
             return d.speichern(p);
         },
         [](const QString &p) {
             QVector<docx::Paketteil> teile;
             return docx::paketLesen(p, teile);
         }},
    };
    for (const auto &f : faelle) {
        SCOPED_TRACE(f.datei);
        testsupport::Sandbox box;
        const QString pfad = box.file(f.datei);
        ASSERT_TRUE(f.speichern(pfad, 0));
        for (int i = 1; i <= 16; ++i) {
            const pid_t pid = fork();
            if (pid == 0)
                for (;;)
                    f.speichern(pfad, i);
            usleep(useconds_t(3000 + i * 3500));
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            EXPECT_TRUE(f.ganz(pfad)) << "Durchgang " << i;
        }
        // The next write removes what killed writes left behind, and nothing else.
        anlegen(pfad + QStringLiteral(".Ab12Cd"), "fremd");
        ASSERT_TRUE(f.speichern(pfad, 99));
        EXPECT_TRUE(safefile::leftovers(pfad).isEmpty());
        EXPECT_EQ(QDir(box.path()).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{f.datei, f.datei + QStringLiteral(".Ab12Cd")}));
    }
}

TEST(SafeFile, OnlyOurOwnAbandonedLeftoversAreRemoved)
{
    testsupport::Sandbox box;
    const QString pfad = box.file(QStringLiteral("plan.html"));
    const QStringList bleiben = {QStringLiteral(".plan.html.zandrel-AbC12"), QStringLiteral("plan.html.AbC123"),
                                 QStringLiteral(".plan.htm.zandrel-AbC123"), QStringLiteral(".plan.html.zandrel-AbC1_3"),
                                 QStringLiteral(".plan.html.zandrel-Gehalt")};
    for (const QString &n : bleiben + QStringList{QStringLiteral(".plan.html.zandrel-XyZ789")})
        anlegen(box.file(n), "rest");
    // A write running at the same moment holds its temporary file locked.
    const int laufend = open(QFile::encodeName(box.file(".plan.html.zandrel-Gehalt")).constData(), O_RDONLY);
    ASSERT_EQ(flock(laufend, LOCK_EX), 0);
    EXPECT_EQ(safefile::leftovers(pfad), QStringList{box.file(QStringLiteral(".plan.html.zandrel-XyZ789"))});
    QString fehler;
    ASSERT_TRUE(safefile::writeFile(pfad, "<html/>", &fehler)) << fehler.toStdString();
    close(laufend);
    QStringList erwartet = bleiben + QStringList{QStringLiteral("plan.html")};
    erwartet.sort();
    EXPECT_EQ(QDir(box.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), erwartet);
    EXPECT_EQ(inhalt(pfad), QByteArray("<html/>"));
}

namespace {

// The path behind a descriptor.
QString pfadVon(int fd)
{
    return QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd));
}

} // namespace

// Power loss: the new content is synced before the name points to it, and the folder after the
// rename, so that a power cut at any moment leaves the old file or the whole new one.
TEST(SafeFile, TheContentIsSyncedBeforeTheRenameAndTheFolderAfterIt)
{
    jederSchreiber([](const Schreiber &s, const testsupport::Sandbox &box, const QString &pfad) {
        QStringList schritte;
        safefile::SystemCalls calls;
        calls.fsync = [&](int fd) {
            struct stat st = {};
            fstat(fd, &st);
            const QString p = pfadVon(fd);
            if (S_ISDIR(st.st_mode))
                schritte << (p == box.path() ? QStringLiteral("Ordner gesichert") : QStringLiteral("anderer Ordner"));
            else if (QFileInfo(p).fileName().startsWith(QLatin1Char('.') + QLatin1String(s.datei) + ".zandrel-")
                     && st.st_size > 1000)
                schritte << QStringLiteral("Inhalt gesichert");
            else
                schritte << QStringLiteral("andere Datei ") + p;
            return ::fsync(fd);
        };
        calls.rename = [&](const char *von, const char *nach) {
            schritte << (QFile::decodeName(nach) == pfad ? QStringLiteral("umbenannt") : QStringLiteral("anders"));
            return ::rename(von, nach);
        };
        {
            const safefile::ScopedSystemCalls unterAufsicht(calls);
            QString fehler;
            ASSERT_TRUE(s.speichern(pfad, &fehler)) << fehler.toStdString();
        }
        EXPECT_EQ(schritte, (QStringList{"Inhalt gesichert", "umbenannt", "Ordner gesichert"}));
        EXPECT_GT(inhalt(pfad).size(), 1000);
    });
}

// The disk or the network folder fails before or while the new file is written, synced or renamed:
// the old file is whole, nothing is left beside it, and the reason is told with the file.
TEST(SafeFile, AFaultWhileWritingSyncingOrRenamingKeepsTheOldFile)
{
    const struct {
        const char *name;
        std::function<void(safefile::SystemCalls &)> stoeren;
        const char *grund;
        bool nurEigenesSchreiben; // libraries write their temporary file themselves
    } faelle[] = {
        {"Sync", [](safefile::SystemCalls &c) { c.fsync = [](int) { errno = EIO; return -1; }; },
         "Lese-/Schreibfehler des Datenträgers.", false},
        {"Umbenennen", [](safefile::SystemCalls &c) { c.rename = [](const char *, const char *) { errno = ESTALE; return -1; }; },
         "Die Verbindung zum Netzwerkordner ist unterbrochen.", false},
        {"Schreiben",
         [](safefile::SystemCalls &c) { c.write = [](int, const void *, size_t) -> ssize_t { errno = ENOTCONN; return -1; }; },
         "Die Verbindung zum Netzwerkordner ist unterbrochen.", true},
        // The folder cannot be asked for: gone away, not missing.
        {"Ordner", [](safefile::SystemCalls &c) { c.stat = [](const char *, struct stat *) { errno = ESTALE; return -1; }; },
         "Die Verbindung zum Netzwerkordner ist unterbrochen.", false},
    };
    for (const auto &f : faelle) {
        SCOPED_TRACE(f.name);
        jederSchreiber([&](const Schreiber &s, const testsupport::Sandbox &box, const QString &pfad) {
            if (f.nurEigenesSchreiben && QString::fromLatin1(s.name) != QLatin1String("Text"))
                return;
            safefile::SystemCalls calls;
            f.stoeren(calls);
            QString fehler;
            {
                const safefile::ScopedSystemCalls gestoert(calls);
                EXPECT_FALSE(s.speichern(pfad, &fehler));
            }
            deutscherGrund(fehler, pfad, QString::fromUtf8(f.grund));
            unversehrt(s, box, pfad);
        });
    }
}
