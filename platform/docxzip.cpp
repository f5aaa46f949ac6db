#include "platform/docxzip.h"
#include "platform/safefile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <minizip/unzip.h>
#include <minizip/zip.h>

namespace docx {

namespace {

void setzen(QString *fehler, const QString &text)
{
    if (fehler)
        *fehler = text;
}

// Parts larger than this are refused when reading (a document part, not a film).
constexpr qint64 MaxTeil = 256 * 1024 * 1024;

// errno of a plain read of the whole file that fails (a network folder gone away), 0 when every
// byte can be read: only then may a package that cannot be unpacked be called damaged.
int leseFehler(const QString &pfad)
{
    QFile f(pfad);
    errno = 0;
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return errno ? errno : EIO;
    char puffer[65536];
    for (;;) {
        errno = 0;
        const qint64 n = f.read(puffer, sizeof puffer);
        if (n < 0)
            return errno ? errno : EIO;
        if (n == 0)
            return 0;
    }
}

QString nichtLesbar(const QString &pfad, int err)
{
    return QStringLiteral("Die Datei \"%1\" kann im Moment nicht gelesen werden: %2\r"
                          "Sobald der Netzwerkordner wieder erreichbar ist, kann der Schritt wiederholt werden.")
        .arg(pfad, safefile::reason(err));
}

} // namespace

namespace {

bool zipSchreiben(const QString &datei, const QVector<Paketteil> &teile)
{
    zipFile zf = zipOpen64(QFile::encodeName(datei).constData(), APPEND_STATUS_CREATE);
    if (!zf)
        return false;
    const QDateTime jetzt = QDateTime::currentDateTime();
    zip_fileinfo info{};
    info.tmz_date.tm_year = uInt(jetzt.date().year());
    info.tmz_date.tm_mon = uInt(jetzt.date().month() - 1);
    info.tmz_date.tm_mday = uInt(jetzt.date().day());
    info.tmz_date.tm_hour = uInt(jetzt.time().hour());
    info.tmz_date.tm_min = uInt(jetzt.time().minute());
    info.tmz_date.tm_sec = uInt(jetzt.time().second());
    bool ok = true;
    int fehlerNr = 0;
    for (const Paketteil &t : teile) {
        const QByteArray name = t.name.toUtf8();
        if (zipOpenNewFileInZip(zf, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                Z_DEFAULT_COMPRESSION) != ZIP_OK) {
            ok = false;
            break;
        }
        const bool geschrieben =
            t.daten.isEmpty() || zipWriteInFileInZip(zf, t.daten.constData(), unsigned(t.daten.size())) == ZIP_OK;
        if (!geschrieben)
            fehlerNr = errno;
        if (zipCloseFileInZip(zf) != ZIP_OK || !geschrieben) {
            ok = false;
            break;
        }
    }
    if (!ok && !fehlerNr)
        fehlerNr = errno;
    if (zipClose(zf, nullptr) != ZIP_OK && ok) {
        ok = false;
        fehlerNr = errno;
    }
    errno = fehlerNr; // the first failure is the reason
    return ok;
}

} // namespace

bool paketSchreiben(const QString &pfad, const QVector<Paketteil> &teile, QString *fehler)
{
    return safefile::writeWith(pfad, [&](const QString &temp) { return zipSchreiben(temp, teile); }, fehler);
}

bool paketLesen(const QString &pfad, QVector<Paketteil> &teile, QString *fehler)
{
    teile.clear();
    if (!QFileInfo(pfad).isFile()) {
        int err = 0;
        safefile::missing(pfad, &err);
        setzen(fehler, err ? nichtLesbar(pfad, err) : QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(pfad));
        return false;
    }
    const QString keinPaket = QStringLiteral("Die Datei \"%1\" ist kein Word-Dokument (.docx) oder beschädigt.").arg(pfad);
    const auto gescheitert = [&] {
        const int err = leseFehler(pfad);
        setzen(fehler, err ? nichtLesbar(pfad, err) : keinPaket);
        return false;
    };
    unzFile uf = unzOpen64(QFile::encodeName(pfad).constData());
    if (!uf)
        return gescheitert();
    bool ok = true;
    for (int rc = unzGoToFirstFile(uf); rc == UNZ_OK; rc = unzGoToNextFile(uf)) {
        unz_file_info64 info{};
        char name[1024];
        if (unzGetCurrentFileInfo64(uf, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK ||
            qint64(info.uncompressed_size) > MaxTeil || unzOpenCurrentFile(uf) != UNZ_OK) {
            ok = false;
            break;
        }
        Paketteil t;
        t.name = QString::fromUtf8(name);
        t.daten.resize(qsizetype(info.uncompressed_size));
        qint64 gelesen = 0;
        while (gelesen < t.daten.size()) {
            const int n = unzReadCurrentFile(uf, t.daten.data() + gelesen, unsigned(t.daten.size() - gelesen));
            if (n <= 0)
                break;
            gelesen += n;
        }
        const bool vollstaendig = gelesen == t.daten.size();
        if (unzCloseCurrentFile(uf) != UNZ_OK || !vollstaendig) { // a CRC error shows up at the close
            ok = false;
            break;
        }
        teile.push_back(std::move(t));
    }
    unzClose(uf);
    if (!ok || teile.isEmpty()) {
        teile.clear();
        return gescheitert();
    }
    return true;
}

} // namespace docx
