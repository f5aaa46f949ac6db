#pragma once
// While a Word document is made: the status label shows its text (and pending events are let
// through so it is drawn), the document's button is disabled; both are put back at the end,
// also when an error ends the work.
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace absence {

class WordStatus {
public:
    explicit WordStatus(QLabel *lblInfo, QWidget *knopf = nullptr);
    ~WordStatus();
    WordStatus(const WordStatus &) = delete;
    WordStatus &operator=(const WordStatus &) = delete;
    // Shows the text and lets pending events through.
    void zeigen(const QString &text);
    void verbergen();

private:
    QPointer<QLabel> m_lbl; // the window may close while events run
    QPointer<QWidget> m_knopf;
};

// A document is not begun again from a handler that runs while it is being made.
class Wiedereintritt {
public:
    explicit Wiedereintritt(bool &flag) : m_flag(flag) { m_flag = true; }
    ~Wiedereintritt() { m_flag = false; }
    Wiedereintritt(const Wiedereintritt &) = delete;
    Wiedereintritt &operator=(const Wiedereintritt &) = delete;

private:
    bool &m_flag;
};

// False while the same document is being made (nothing shown) or when Word cannot be used
// (the message shown).
bool wordBereit(bool laeuft);

} // namespace absence
