#include "lamp_pixmaps.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace app {

namespace {

QColor lampColour(Lamp lamp)
{
    switch (lamp) {
    case Lamp::imgNotConnected:
        return QColor(220, 20, 20);
    case Lamp::ImgYellow:
        return QColor(240, 200, 0);
    case Lamp::imgConnected:
        return QColor(20, 180, 40);
    }
    return {};
}

QPixmap iconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    painter.setPen(QPen(QColor(20, 40, 90), 1.5));
    painter.setBrush(QColor(40, 90, 170));
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);

    // The meter's scale: an arc over the upper half, its top third red for the alarm zone.
    const QRectF dial(5, 8, 22, 22);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(dial, 60 * 16, 100 * 16);
    painter.setPen(QPen(QColor(255, 80, 60), 2.5, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(dial, 20 * 16, 40 * 16);

    painter.setPen(QPen(QColor(255, 220, 0), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(16, 19), QPointF(22, 10));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(16, 19), 2.5, 2.5);

    painter.setBrush(QColor(20, 180, 40));
    painter.drawEllipse(QPointF(16, 26), 2, 2);
    return pixmap;
}

} // namespace

QPixmap lampPixmap(Lamp lamp, qreal devicePixelRatio)
{
    const int side = qRound(kLampSize * devicePixelRatio);
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = lampColour(lamp);
    const QRectF body(1, 1, kLampSize - 2, kLampSize - 2);

    // Lit from the upper left: a light spot fading into the lamp colour, darker at the rim.
    QRadialGradient glow(QPointF(6, 6), 9, QPointF(5.5, 5.5));
    glow.setColorAt(0.0, colour.lighter(170));
    glow.setColorAt(0.5, colour);
    glow.setColorAt(1.0, colour.darker(140));
    painter.setPen(QPen(colour.darker(220), 1));
    painter.setBrush(glow);
    painter.drawEllipse(body);
    return pixmap;
}

QIcon windowIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(iconPixmap(size));
    return icon;
}

} // namespace app
