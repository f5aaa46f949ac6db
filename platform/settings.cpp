#include "platform/settings.h"
#include "platform/msg.h"
#include "platform/safefile.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <cctype>
#include <cerrno>

namespace {

QString configHome()
{
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (home.isEmpty())
        home = QDir::home().filePath(QStringLiteral(".config"));
    return home;
}

} // namespace

namespace settings {

// The file is looked up at every call: tests and the demo point XDG_CONFIG_HOME elsewhere.
static QString storeFile() { return QDir(configHome()).filePath(QStringLiteral("Zandrel/Zandrel.ini")); }

namespace {

// The store is an INI file in the form QSettings writes (older stores were written by it). It is
// read and written here whole, never through QSettings: on a full disk QSettings cuts the file
// short without a word, and its cache may give a value saved a moment before as it was.
using Gruppen = QMap<QString, QMap<QString, QString>>; // group -> key -> text

// A key as QSettings writes it (a '/' as '\', other characters than letters, digits, '_', '-' and
// '.' as %XX or %UXXXX).
QByteArray iniSchluessel(const QString &key)
{
    QByteArray out;
    for (const QChar c : key) {
        const char16_t ch = c.unicode();
        if (ch == u'/')
            out += '\\';
        else if ((ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') || (ch >= u'0' && ch <= u'9') || ch == u'_'
                 || ch == u'-' || ch == u'.')
            out += char(ch);
        else if (ch <= 0xFF)
            out += '%' + QByteArray::number(ch, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(ch, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

QString schluesselLesen(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const int n = text.mid(i + 1, 1) == u"U" ? 4 : 2;
        bool ok = false;
        const uint code = c == u'%' ? text.mid(i + (n == 4 ? 2 : 1), n).toUInt(&ok, 16) : 0;
        if (ok) {
            out += QChar(char16_t(code));
            i += n + (n == 4 ? 1 : 0);
        } else {
            out += c == u'\\' ? u'/' : c;
        }
    }
    return out;
}

// A text value as QSettings writes it: quoted where a comma, semicolon, equals sign or an outer blank
// would otherwise change how it is read back.
QByteArray iniWert(const QString &value)
{
    const QString v = value.startsWith(u'@') ? u'@' + value : value;
    QByteArray out;
    bool quoted = v.startsWith(u' ') || v.endsWith(u' ');
    for (const QChar c : v) {
        switch (c.unicode()) {
        case u'\\': out += "\\\\"; break;
        case u'"': out += "\\\""; break;
        case u'\n': out += "\\n"; break;
        case u'\r': out += "\\r"; break;
        case u'\t': out += "\\t"; break;
        case u';':
        case u',':
        case u'=': quoted = true; out += char(c.unicode()); break;
        default:
            if (c.unicode() >= 0x20)
                out += QString(c).toUtf8();
        }
    }
    return quoted ? '"' + out + '"' : out;
}

// A value as QSettings reads it: quoted parts as they stand, escapes resolved, blanks around
// unquoted parts dropped.
QString wertLesen(const QString &text)
{
    QString out;
    bool inQuotes = false;
    qsizetype blanks = 0; // unquoted blanks at the end of out so far
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            inQuotes = !inQuotes;
            blanks = 0;
            continue;
        }
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar e = text[++i];
            switch (e.unicode()) {
            case u'n': out += u'\n'; break;
            case u'r': out += u'\r'; break;
            case u't': out += u'\t'; break;
            case u'x': {
                qsizetype j = i + 1;
                while (j < text.size() && isxdigit(text[j].unicode()) && j - i <= 4)
                    ++j;
                out += QChar(char16_t(text.mid(i + 1, j - i - 1).toUInt(nullptr, 16)));
                i = j - 1;
                break;
            }
            default: out += e;
            }
            blanks = 0;
            continue;
        }
        if (!inQuotes && c.isSpace()) {
            if (!out.isEmpty() || blanks)
                ++blanks, out += c;
            continue;
        }
        if (!inQuotes && out.size() == blanks)
            out.clear(); // blanks before the first character
        blanks = 0;
        out += c;
    }
    out.chop(blanks);
    if (out.startsWith(QLatin1String("@@")))
        out.remove(0, 1);
    return out;
}

// The whole store; false when it is there but cannot be read (err: errno).
bool lesen(const QString &datei, Gruppen &gruppen, int *err = nullptr)
{
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly)) {
        if (err)
            *err = safefile::missing(datei) ? 0 : (errno ? errno : EIO);
        return err && *err == 0;
    }
    errno = 0;
    const QByteArray inhalt = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (err)
            *err = errno ? errno : EIO;
        return false;
    }
    QString gruppe;
    for (QString zeile : QString::fromUtf8(inhalt).split(u'\n')) {
        zeile = zeile.trimmed();
        if (zeile.isEmpty() || zeile.startsWith(u';') || zeile.startsWith(u'#'))
            continue;
        if (zeile.startsWith(u'[') && zeile.endsWith(u']')) {
            gruppe = schluesselLesen(zeile.mid(1, zeile.size() - 2).trimmed());
            if (gruppe == QLatin1String("General"))
                gruppe.clear();
            continue;
        }
        const qsizetype gleich = zeile.indexOf(u'=');
        if (gleich <= 0)
            continue;
        const QString key = schluesselLesen(zeile.left(gleich).trimmed());
        gruppen[gruppe][key] = wertLesen(zeile.mid(gleich + 1));
    }
    if (err)
        *err = 0;
    return true;
}

QByteArray iniText(const Gruppen &gruppen)
{
    QByteArray text;
    for (auto g = gruppen.cbegin(); g != gruppen.cend(); ++g) {
        if (!text.isEmpty())
            text += '\n';
        text += '[' + (g.key().isEmpty() ? QByteArray("General") : iniSchluessel(g.key())) + "]\n";
        for (auto k = g->cbegin(); k != g->cend(); ++k)
            text += iniSchluessel(k.key()) + '=' + iniWert(k.value()) + '\n';
    }
    return text;
}

} // namespace

QString getSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    Gruppen gruppen;
    lesen(storeFile(), gruppen);
    const auto g = gruppen.constFind(section);
    if (g == gruppen.cend())
        return defaultValue;
    const auto k = g->constFind(key);
    return k == g->cend() ? defaultValue : *k;
}

void saveSetting(const QString &section, const QString &key, const QString &value)
{
    // Told once until a setting is saved again: closing a window saves several at a time.
    static bool gemeldet = false;
    const QString datei = storeFile();
    QString grund;
    Gruppen gruppen;
    int err = 0;
    if (!lesen(datei, gruppen, &err)) {
        grund = safefile::reason(err); // written now, the other settings would be lost
    } else if (const auto g = gruppen.constFind(section); g != gruppen.cend() && g->contains(key) && g->value(key) == value) {
        // Unchanged: closing a window saves its place every time, and each write syncs the disk.
    } else {
        gruppen[section][key] = value;
        QDir().mkpath(QFileInfo(datei).absolutePath());
        QString fehler;
        if (!safefile::writeFile(datei, iniText(gruppen), &fehler))
            grund = fehler.section(QStringLiteral("\rGrund: "), 1);
    }
    if (grund.isEmpty()) {
        gemeldet = false;
        return;
    }
    if (gemeldet)
        return;
    gemeldet = true;
    msg::box(QStringLiteral("Die Einstellung \"%1\" konnte nicht gespeichert werden.\r\r").arg(key)
             + safefile::failureText(datei, grund));
}

} // namespace settings

namespace registry {

static QStringList iniFiles()
{
    QStringList out;
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    for (const QString &d : dirs.split(':', Qt::SkipEmptyParts))
        out << QDir(d).filePath(QStringLiteral("Zandrel/nmSV.ini"));
    out << QDir(configHome()).filePath(QStringLiteral("Zandrel/nmSV.ini"));
    return out;
}

// Values are taken as written (paths may hold commas, backslashes and blanks); only one pair
// of enclosing double quotes is removed. Group and key names compare without regard to case,
// as registry names do.
static QString readIni(const QString &file, const QString &group, const QString &name, bool *found)
{
    *found = false;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString current;
    // A file written on Windows is in its ANSI code page: what is not valid UTF-8 is Windows-1252.
    const QStringList lines = textcodec::decodeUtf8OrWindows1252(f.readAll()).split('\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            current = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const int eq = int(line.indexOf('='));
        if (eq <= 0 || current.compare(group, Qt::CaseInsensitive) != 0)
            continue;
        if (line.left(eq).trimmed().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QString v = line.mid(eq + 1).trimmed();
        if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
            v = v.mid(1, v.size() - 2);
        *found = true;
        return v;
    }
    return {};
}

static QString lookup(const QString &group, const QString &name)
{
    for (const QString &f : iniFiles()) {
        bool found = false;
        const QString v = readIni(f, group, name, &found);
        if (found && !v.isEmpty())
            return v;
    }
    return QString();
}

QString nmValue(const QString &name) { return lookup(QStringLiteral("nmSV"), name); }
QStringList nmFiles() { return iniFiles(); }
QString installationValue(const QString &name) { return lookup(QStringLiteral("Zandrel"), name); }

} // namespace registry
