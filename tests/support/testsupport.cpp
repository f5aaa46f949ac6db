#include "support/testsupport.h"

#include <QDir>
#include <QWidget>
#include <QProcess>
#include <QXmlStreamReader>

namespace testsupport {

Sandbox::Sandbox()
{
    m_oldHome = qgetenv("XDG_CONFIG_HOME");
    m_oldDirs = qgetenv("XDG_CONFIG_DIRS");
    m_oldTmp = qgetenv("TMPDIR");
    QDir(m_dir.path()).mkpath("config");
    QDir(m_dir.path()).mkpath("xdg");
    QDir(m_dir.path()).mkpath("tmp");
    qputenv("XDG_CONFIG_HOME", file("config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", file("xdg").toUtf8());
    qputenv("TMPDIR", file("tmp").toUtf8());
}

Sandbox::~Sandbox()
{
    qputenv("XDG_CONFIG_HOME", m_oldHome);
    qputenv("XDG_CONFIG_DIRS", m_oldDirs);
    qputenv("TMPDIR", m_oldTmp);
}

QString Sandbox::file(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

MsgRecorder::MsgRecorder(std::function<int(const msg::Request &)> answer) : m_answer(std::move(answer))
{
    msg::setHandler([this](const msg::Request &r) {
        boxes << r;
        if (m_answer)
            return m_answer(r);
        int b = r.buttons & 0x7;
        bool second = (r.buttons & 0xF00) == msg::DefaultButton2;
        switch (b) {
        case msg::OKCancel: return second ? int(msg::Cancel) : int(msg::OK);
        case msg::YesNo:
        case msg::YesNoCancel: return second ? int(msg::No) : int(msg::Yes);
        default: return int(msg::OK);
        }
    });
}

MsgRecorder::~MsgRecorder() { msg::clearHandler(); }

QStringList MsgRecorder::texts() const
{
    QStringList out;
    for (const auto &b : boxes)
        out << b.text;
    return out;
}

bool MsgRecorder::contains(const QString &text) const
{
    for (const auto &b : boxes)
        if (b.text.contains(text))
            return true;
    return false;
}

QString zipEntry(const QString &zipPath, const QString &entry)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zipPath, entry});
    p.waitForFinished(30000);
    return p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

QMap<QString, QString> xlsxCells(const QString &path, int sheet) { return xlsxCells(path, sheet, false); }

QMap<QString, QString> xlsxCells(const QString &path, int sheet, bool typed)
{
    QStringList shared;
    QXmlStreamReader ss(zipEntry(path, QStringLiteral("xl/sharedStrings.xml")));
    while (!ss.atEnd())
        if (ss.readNext() == QXmlStreamReader::StartElement && ss.name() == QLatin1String("si"))
            shared << ss.readElementText(QXmlStreamReader::IncludeChildElements);
    QMap<QString, QString> cells;
    QXmlStreamReader x(zipEntry(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet)));
    QString ref, type;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == QLatin1String("c")) {
            ref = x.attributes().value(QLatin1String("r")).toString();
            type = x.attributes().value(QLatin1String("t")).toString();
        } else if (x.name() == QLatin1String("v")) {
            const QString v = x.readElementText();
            if (!typed)
                cells[ref] = type == QLatin1String("s") ? shared.value(v.toInt()) : v;
            else
                cells[ref] = type == QLatin1String("s") ? QStringLiteral("s:") + shared.value(v.toInt())
                                                        : (type.isEmpty() ? QStringLiteral("n:") : type + ':') + v;
        }
    }
    return cells;
}

QImage gezeichnet(QWidget *w, double skala)
{
    QImage img(w->size() * skala, QImage::Format_ARGB32);
    img.setDevicePixelRatio(skala);
    img.fill(Qt::white);
    w->render(&img);
    return img;
}

Desktop::Desktop(bool opens)
    : m_opener([this, opens](const QString &path) {
          files << path;
          return opens;
      })
{
}

} // namespace testsupport
