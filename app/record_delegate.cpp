#include "record_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace app {

namespace {

// The distinct texts kept; the times of day change every row, so the cache starts afresh
// when it has this many.
constexpr qsizetype kKeptTexts = 512;

} // namespace

const QStaticText &RecordDelegate::laidOut(const QString &text, const QFont &font) const
{
    if (font != m_font) {
        m_texts.clear();
        m_font = font;
    }
    auto found = m_texts.find(text);
    if (found != m_texts.end())
        return *found;
    if (m_texts.size() >= kKeptTexts)
        m_texts.clear();
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.setPerformanceHint(QStaticText::AggressiveCaching);
    laid.prepare(QTransform(), font);
    return *m_texts.insert(text, laid);
}

void RecordDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    // Background, selection and focus as the style draws them, without the text.
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    if (text.isEmpty())
        return;

    const QRect area =
        style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(2, 0, -2, 0);
    const QStaticText &laid = laidOut(text, item.font);
    const QSizeF size = laid.size();
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(item.font);
    painter->setPen(option.palette.color(group, (option.state & QStyle::State_Selected)
                                                    ? QPalette::HighlightedText
                                                    : QPalette::Text));
    painter->setClipRect(area);
    const qreal x =
        (item.displayAlignment & Qt::AlignRight) ? area.right() + 1 - size.width() : area.left();
    painter->drawStaticText(QPointF(x, area.top() + (area.height() - size.height()) / 2), laid);
    painter->restore();
}

} // namespace app
