#include "core/programmicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace start {

namespace {

// A sheet of a school calendar: a blue header, grid lines and a "Z" across the sheet.
QPixmap zeichnen(int n)
{
    QPixmap bild(n, n);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal rand = n / 16.0;
    const QRectF blatt(rand, rand, n - 2 * rand, n - 2 * rand);
    const qreal rund = n / 8.0;

    QPainterPath form;
    form.addRoundedRect(blatt, rund, rund);
    p.fillPath(form, QColor(250, 250, 245));
    p.save();
    p.setClipPath(form);
    const QRectF kopf(blatt.left(), blatt.top(), blatt.width(), blatt.height() * 0.28);
    p.fillRect(kopf, QColor(23, 92, 160));
    if (n >= 24) {
        p.setPen(QPen(QColor(200, 205, 215), qMax(1.0, n / 64.0)));
        for (int i = 1; i < 4; ++i) {
            const qreal x = blatt.left() + blatt.width() * i / 4.0;
            p.drawLine(QPointF(x, kopf.bottom()), QPointF(x, blatt.bottom()));
            const qreal y = kopf.bottom() + (blatt.bottom() - kopf.bottom()) * i / 4.0;
            p.drawLine(QPointF(blatt.left(), y), QPointF(blatt.right(), y));
        }
    }
    p.restore();
    p.setPen(QPen(QColor(23, 92, 160), qMax(1.0, n / 32.0)));
    p.drawRoundedRect(blatt, rund, rund);

    // The "Z", in the school-red of grades.
    const qreal l = blatt.left() + blatt.width() * 0.24, r = blatt.right() - blatt.width() * 0.24;
    const qreal o = kopf.bottom() + blatt.height() * 0.12, u = blatt.bottom() - blatt.height() * 0.12;
    QPen stift(QColor(196, 30, 40), qMax(1.5, n / 9.0));
    stift.setCapStyle(Qt::SquareCap);
    stift.setJoinStyle(Qt::MiterJoin);
    p.setPen(stift);
    QPainterPath z;
    z.moveTo(l, o);
    z.lineTo(r, o);
    z.lineTo(l, u);
    z.lineTo(r, u);
    p.drawPath(z);
    return bild;
}

} // namespace

QIcon programmIcon()
{
    QIcon icon;
    for (int n : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(zeichnen(n));
    return icon;
}

} // namespace start
