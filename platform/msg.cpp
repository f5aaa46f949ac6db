#include "platform/msg.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace msg {

static std::function<int(const Request &)> &handler()
{
    static std::function<int(const Request &)> h;
    return h;
}

void setHandler(std::function<int(const Request &)> h) { handler() = std::move(h); }
void clearHandler() { handler() = nullptr; }

int box(const QString &text, int buttons, const QString &title, QWidget *parent)
{
    QString t = title.isEmpty() ? QStringLiteral("Zandrel") : title;
    if (handler())
        return handler()(Request{text, buttons, t});

    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace('\r', '\n');
    QMessageBox box(parent ? parent : QApplication::activeWindow());
    box.setWindowTitle(t);
    box.setText(shown);
    switch (buttons & 0x70) {
    case Critical: box.setIcon(QMessageBox::Critical); break;
    case Question: box.setIcon(QMessageBox::Question); break;
    case Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Information: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon);
    }
    struct B { const char *text; int code; QMessageBox::ButtonRole role; };
    QList<B> list;
    switch (buttons & 0x7) {
    case OKCancel: list = {{"OK", OK, QMessageBox::AcceptRole}, {"Abbrechen", Cancel, QMessageBox::RejectRole}}; break;
    case AbortRetryIgnore: list = {{"Abbrechen", Abort, QMessageBox::RejectRole}, {"Wiederholen", Retry, QMessageBox::AcceptRole}, {"Ignorieren", Ignore, QMessageBox::AcceptRole}}; break;
    case YesNoCancel: list = {{"Ja", Yes, QMessageBox::YesRole}, {"Nein", No, QMessageBox::NoRole}, {"Abbrechen", Cancel, QMessageBox::RejectRole}}; break;
    case YesNo: list = {{"Ja", Yes, QMessageBox::YesRole}, {"Nein", No, QMessageBox::NoRole}}; break;
    case RetryCancel: list = {{"Wiederholen", Retry, QMessageBox::AcceptRole}, {"Abbrechen", Cancel, QMessageBox::RejectRole}}; break;
    default: list = {{"OK", OK, QMessageBox::AcceptRole}};
    }
    int def = (buttons & 0xF00) == DefaultButton2 ? 1 : (buttons & 0xF00) == DefaultButton3 ? 2 : 0;
    QList<QPushButton *> made;
    for (const B &b : list)
        made << box.addButton(QString::fromUtf8(b.text), b.role);
    if (def < made.size())
        box.setDefaultButton(made[def]);
    // Escape answers the last button (Cancel / No) as Windows message boxes do.
    box.setEscapeButton(made.last());
    box.exec();
    for (int i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i])
            return list[i].code;
    return list.last().code;
}

} // namespace msg
