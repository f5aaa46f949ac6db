#pragma once
// Shared helpers of the tests: a private folder per test and recorded message boxes.
#include "platform/docopener.h"
#include "platform/msg.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <functional>

class QWidget;

namespace testsupport {

// A fresh folder; XDG_CONFIG_HOME, XDG_CONFIG_DIRS and TMPDIR point into it while it lives.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome, m_oldDirs, m_oldTmp;
};

// Records every message box and answers it with the given code (default: OK / the preset button).
class MsgRecorder {
public:
    explicit MsgRecorder(std::function<int(const msg::Request &)> answer = nullptr);
    ~MsgRecorder();
    QList<msg::Request> boxes;
    QStringList texts() const;
    bool contains(const QString &text) const;

private:
    std::function<int(const msg::Request &)> m_answer;
};

// The widget drawn as at a screen scaling (QT_SCALE_FACTOR): device pixels per pixel.
QImage gezeichnet(QWidget *w, double skala);

// Stands in for the desktop while it lives: records every file handed over and answers whether
// an application opened it.
class Desktop {
public:
    explicit Desktop(bool opens = true);
    QStringList files;

private:
    docs::ScopedOpener m_opener;
};

// An entry of a zip package (.xlsx, .docx) as text, read with unzip; "" when it is missing.
QString zipEntry(const QString &zipPath, const QString &entry);
// The cells of one sheet of an .xlsx by address ("A1" -> value; shared strings resolved).
QMap<QString, QString> xlsxCells(const QString &path, int sheet = 1);
// The same with each cell's type before its text ("s:007" a text, "n:7" a number).
QMap<QString, QString> xlsxCells(const QString &path, int sheet, bool typed);

} // namespace testsupport
