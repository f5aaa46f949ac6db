#include "support/testsupport.h"

#include <QDir>

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

} // namespace testsupport
