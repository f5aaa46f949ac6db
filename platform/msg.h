#pragma once
// The one message helper: German buttons, no icon unless asked for, the given default
// button; a carriage return in the text is a line break. Button and result codes are
// the program's (vbOKOnly, vbYesNo, vbDefaultButton2, vbYes …).
#include <QString>
#include <functional>

class QWidget;

namespace msg {

enum Buttons {
    OKOnly = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5,
    Critical = 16, Question = 32, Exclamation = 48, Information = 64,
    DefaultButton1 = 0, DefaultButton2 = 256, DefaultButton3 = 512,
};
enum Result { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct Request {
    QString text;
    int buttons = OKOnly;
    QString title;
};

// Shows the box modally and returns the pressed button's code.
int box(const QString &text, int buttons = OKOnly, const QString &title = QString(), QWidget *parent = nullptr);
inline void info(const QString &text, const QString &title = QString()) { box(text, OKOnly, title); }

// Tests answer boxes through a handler instead of a window; every request is recorded.
void setHandler(std::function<int(const Request &)> handler);
void clearHandler();

} // namespace msg
