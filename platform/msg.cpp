#include "platform/msg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>

namespace msg {

namespace {

// Buttons in the order Windows shows them (OK Abbrechen, Ja Nein Abbrechen), whatever the desktop's order is.
class WindowsButtonOrder : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_DialogButtonLayout)
            return QDialogButtonBox::WinLayout;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

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
    // Roles only order the buttons here (Windows order: yes, accept, no, reject); Escape is set below.
    case AbortRetryIgnore: list = {{"Abbrechen", Abort, QMessageBox::YesRole}, {"Wiederholen", Retry, QMessageBox::AcceptRole}, {"Ignorieren", Ignore, QMessageBox::NoRole}}; break;
    case YesNoCancel: list = {{"Ja", Yes, QMessageBox::YesRole}, {"Nein", No, QMessageBox::NoRole}, {"Abbrechen", Cancel, QMessageBox::RejectRole}}; break;
    case YesNo: list = {{"Ja", Yes, QMessageBox::YesRole}, {"Nein", No, QMessageBox::NoRole}}; break;
    case RetryCancel: list = {{"Wiederholen", Retry, QMessageBox::AcceptRole}, {"Abbrechen", Cancel, QMessageBox::RejectRole}}; break;
    default: list = {{"OK", OK, QMessageBox::AcceptRole}};
    }
    int def = (buttons & 0xF00) == DefaultButton2 ? 1 : (buttons & 0xF00) == DefaultButton3 ? 2 : 0;
    static WindowsButtonOrder *order = new WindowsButtonOrder; // lives as long as the program
    if (auto *bb = box.findChild<QDialogButtonBox *>())
        bb->setStyle(order);
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
