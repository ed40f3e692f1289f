#include "qt/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

namespace qtgui {

// The icon has one drawing, packaging/vexmond.svg, built into the program as
// a resource and rendered at each size; the package installs the same file.
QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/vexmond/vexmond.svg"));
    QPainter p(&image);
    svg.render(&p);
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

}  // namespace qtgui
