#pragma once
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace app {

// Paints the record's cells as one line of plain text each. Polling repeats the same texts
// row after row, so each is laid out once and kept (QStaticText); Qt's own delegate lays
// out every cell again at every repaint, which costs milliseconds per batch.
class RecordDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    const QStaticText &laidOut(const QString &text, const QFont &font) const;

    mutable QHash<QString, QStaticText> m_texts;
    mutable QFont m_font;
};

} // namespace app
