#include "cached_group_box.h"

#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>

namespace app {

bool CachedGroupBox::cacheable() const
{
    // Only an opaque plain colour below makes the picture independent of what lies behind.
    const QBrush surface = palette().brush(backgroundRole());
    return autoFillBackground() && surface.style() == Qt::SolidPattern && surface.isOpaque() &&
           !isCheckable();
}

QStyleOptionGroupBox CachedGroupBox::currentOption() const
{
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    return option;
}

bool CachedGroupBox::pictureFits(const QStyleOptionGroupBox &option) const
{
    const QStyleOptionGroupBox &was = m_pictureOption;
    return !m_picture.isNull() && m_picture.devicePixelRatio() == devicePixelRatio() &&
           was.rect == option.rect && was.text == option.text && was.state == option.state &&
           was.features == option.features && was.textAlignment == option.textAlignment &&
           was.textColor == option.textColor && was.subControls == option.subControls &&
           was.activeSubControls == option.activeSubControls && was.direction == option.direction;
}

bool CachedGroupBox::hasPicture() const
{
    return cacheable() && pictureFits(currentOption());
}

void CachedGroupBox::makePicture()
{
    m_pictureDue = false;
    if (!cacheable() || size().isEmpty())
        return;
    const qreal ratio = devicePixelRatio();
    QPixmap picture((QSizeF(size()) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    m_rendering = true;
    render(&picture, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    m_rendering = false;
    m_picture = picture;
    m_pictureOption = currentOption();
}

void CachedGroupBox::paintEvent(QPaintEvent *event)
{
    if (m_rendering || !cacheable()) {
        QGroupBox::paintEvent(event);
        return;
    }
    if (!pictureFits(currentOption())) {
        QGroupBox::paintEvent(event);
        // render() from inside a repaint would be a recursive repaint.
        if (!m_pictureDue) {
            m_pictureDue = true;
            QMetaObject::invokeMethod(this, &CachedGroupBox::makePicture, Qt::QueuedConnection);
        }
        return;
    }
    const qreal ratio = m_picture.devicePixelRatio();
    QPainter painter(this);
    for (const QRect &rect : event->region())
        painter.drawPixmap(rect, m_picture,
                           QRectF(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio));
}

void CachedGroupBox::changeEvent(QEvent *event)
{
    // What the style option does not carry: the colours, the font and the style itself.
    switch (event->type()) {
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        m_picture = QPixmap();
        break;
    default:
        break;
    }
    QGroupBox::changeEvent(event);
}

} // namespace app
