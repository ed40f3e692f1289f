#include "gui/Icons.h"

#include <QPainter>
#include <QPainterPath>

namespace gui {

void paintAppIcon(QPainter& p, int size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // Background tile.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#243447"));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    // Speech balloon.
    QPainterPath balloon;
    balloon.addRoundedRect(QRectF(10, 10, 44, 28), 8, 8);
    QPainterPath tail;
    tail.moveTo(18, 36);
    tail.lineTo(16, 48);
    tail.lineTo(28, 36);
    tail.closeSubpath();
    p.setBrush(QColor("#f5f7fa"));
    p.drawPath(balloon.united(tail));
    // Three text lines in the balloon.
    p.setBrush(QColor("#3d7bd9"));
    for (int i = 0; i < 3; ++i) p.drawRoundedRect(QRectF(16, 15 + i * 7, i == 2 ? 20 : 32, 4), 2, 2);
    // The server's light.
    p.setBrush(QColor("#2ecc40"));
    p.setPen(QPen(QColor("#1b7a26"), 1.5));
    p.drawEllipse(QRectF(40, 42, 14, 14));
    p.restore();
}

QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    paintAppIcon(p, size);
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : kIconSizes) icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
    return icon;
}

QPixmap indicatorPixmap(bool running, int size, qreal ratio) {
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(running ? QColor("#1b7a26") : QColor("#4a4a4a"), s / 12));
    p.setBrush(running ? QColor("#2ecc40") : QColor("#9e9e9e"));
    p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
    QPen mark(Qt::white, s / 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(mark);
    p.setBrush(Qt::NoBrush);
    if (running) {
        QPainterPath tick;
        tick.moveTo(s * 0.30, s * 0.52);
        tick.lineTo(s * 0.44, s * 0.66);
        tick.lineTo(s * 0.70, s * 0.36);
        p.drawPath(tick);
    } else {
        p.drawLine(QPointF(s * 0.32, s * 0.5), QPointF(s * 0.68, s * 0.5));
    }
    return pixmap;
}

}  // namespace gui
