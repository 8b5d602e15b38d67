#include "record_view.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace app {

namespace {

constexpr int kPadding = 3;

} // namespace

RecordView::RecordView(QAbstractItemModel *model, QWidget *parent)
    : QAbstractScrollArea(parent), m_model(model), m_header(new QHeaderView(Qt::Horizontal, this))
{
    m_header->setModel(model);
    m_header->setSectionsClickable(false);
    m_header->setHighlightSections(false);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(16);
    updateMetrics();

    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        updateScrollRange();
        viewport()->update();
    });
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this,
            &RecordView::rowsAboutToChange);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &RecordView::rowsAboutToChange);
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { rowsInserted(first, last); });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { rowsRemoved(first, last); });
    connect(model, &QAbstractItemModel::modelReset, this, &RecordView::modelReset);
    connect(model, &QAbstractItemModel::dataChanged, viewport(), qOverload<>(&QWidget::update));
}

QList<int> RecordView::selectedRows() const
{
    QList<int> rows;
    if (m_anchor < 0)
        return rows;
    const long long first = std::max(std::min(m_anchor, m_current), m_dropped);
    const long long last = std::min(std::max(m_anchor, m_current), endRow() - 1);
    for (long long row = first; row <= last; ++row)
        rows << static_cast<int>(row - m_dropped);
    return rows;
}

bool RecordView::following() const
{
    return verticalScrollBar()->value() == verticalScrollBar()->maximum();
}

void RecordView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    const QPalette::ColorGroup group = !isEnabled()       ? QPalette::Disabled
                                       : isActiveWindow() ? QPalette::Active
                                                          : QPalette::Inactive;
    const QPalette &colours = palette();
    const QFontMetrics metrics = fontMetrics();
    const int baseline = (m_rowHeight - metrics.height()) / 2 + metrics.ascent();
    const long long first = m_top + area.top() / m_rowHeight;
    const long long last = std::min(endRow() - 1, m_top + area.bottom() / m_rowHeight);

    for (long long row = first; row <= last; ++row) {
        const int y = static_cast<int>(row - m_top) * m_rowHeight;
        const bool isSelected = selected(row);
        painter.fillRect(QRect(area.left(), y, area.width(), m_rowHeight),
                         colours.color(group, isSelected     ? QPalette::Highlight
                                              : row % 2 != 0 ? QPalette::AlternateBase
                                                             : QPalette::Base));
        painter.setPen(
            colours.color(group, isSelected ? QPalette::HighlightedText : QPalette::Text));
        for (int visual = 0; visual < m_header->count(); ++visual) {
            const int column = m_header->logicalIndex(visual);
            const int x = m_header->sectionViewportPosition(column);
            const int width = m_header->sectionSize(column);
            if (m_header->isSectionHidden(column) || x + width <= area.left() || x > area.right())
                continue;
            const QModelIndex index = m_model->index(static_cast<int>(row - m_dropped), column);
            QString text = index.data().toString();
            if (text.isEmpty())
                continue;
            const QRect cell(x + kPadding, y, width - 2 * kPadding, m_rowHeight);
            text.truncate(visibleLength(text, cell.width()));
            const QVariant fontData = index.data(Qt::FontRole);
            if (fontData.isValid())
                painter.setFont(qvariant_cast<QFont>(fontData).resolve(font()));
            int left = cell.left();
            if (index.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight)
                left = cell.right() + 1 - painter.fontMetrics().horizontalAdvance(text);
            painter.setClipRect(cell);
            painter.drawText(left, y + baseline, text);
            if (fontData.isValid())
                painter.setFont(font());
        }
        painter.setClipping(false);
    }

    // Column rules down to the last row.
    const int bottom =
        std::min(area.bottom(), static_cast<int>(last + 1 - m_top) * m_rowHeight - 1);
    painter.setPen(colours.color(group, QPalette::Midlight));
    for (int visual = 0; visual < m_header->count() && bottom > area.top(); ++visual) {
        const int column = m_header->logicalIndex(visual);
        if (m_header->isSectionHidden(column))
            continue;
        const int x = m_header->sectionViewportPosition(column) + m_header->sectionSize(column) - 1;
        if (x >= area.left() && x <= area.right())
            painter.drawLine(x, area.top(), x, bottom);
    }
}

// The painted rows move with the scroll bars and only the rows that come into view are
// painted.
void RecordView::scrollContentsBy(int dx, int)
{
    m_header->setOffset(horizontalScrollBar()->value());
    showFromBar(dx);
}

// The absolute top row decides how far the picture moves, whatever the bar's value did: when
// rows drop off the front, the same value shows other frames.
void RecordView::showFromBar(int dx)
{
    const long long top = m_dropped + verticalScrollBar()->value();
    const long long rows = top - m_top;
    m_top = top;
    if (std::abs(rows) > pageRows())
        viewport()->update();
    else if (rows != 0 || dx != 0)
        viewport()->scroll(dx, static_cast<int>(-rows) * m_rowHeight);
}

bool RecordView::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Resize: {
        const bool follow = following();
        updateGeometries();
        if (follow)
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        break;
    }
    case QEvent::ToolTip: {
        // A cell cut at its column's edge shows whole in its tooltip.
        const auto *help = static_cast<QHelpEvent *>(event);
        const long long row = rowAt(help->pos().y());
        const int column = m_header->logicalIndexAt(help->pos().x());
        if (row < 0 || column < 0) {
            QToolTip::hideText();
            return true;
        }
        QToolTip::showText(help->globalPos(), rowText(row, column), viewport());
        return true;
    }
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void RecordView::mousePressEvent(QMouseEvent *event)
{
    const long long row = rowAt(event->position().toPoint().y());
    if (row < 0)
        return;
    if (event->button() == Qt::LeftButton || !selected(row))
        moveCurrent(row, event->modifiers() & Qt::ShiftModifier);
}

void RecordView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_anchor < 0 || endRow() == m_dropped)
        return;
    // Dragged above the rows in view, the selection reaches one row further, which scrolls.
    const int y = event->position().toPoint().y();
    const long long row = y < 0 ? m_top - 1 : m_top + y / m_rowHeight;
    moveCurrent(std::clamp(row, m_dropped, endRow() - 1), true);
}

void RecordView::keyPressEvent(QKeyEvent *event)
{
    const long long first = m_dropped;
    const long long end = endRow();
    if (end == first)
        return QAbstractScrollArea::keyPressEvent(event);
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        m_anchor = first;
        m_current = end - 1;
        viewport()->update();
        return;
    }
    long long row = m_current >= first && m_current < end ? m_current : m_top;
    switch (event->key()) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_PageUp:
        row -= std::max(1, pageRows());
        break;
    case Qt::Key_PageDown:
        row += std::max(1, pageRows());
        break;
    case Qt::Key_Home:
        row = first;
        break;
    case Qt::Key_End:
        row = end - 1;
        break;
    default:
        return QAbstractScrollArea::keyPressEvent(event);
    }
    moveCurrent(std::clamp(row, first, end - 1), event->modifiers() & Qt::ShiftModifier);
}

void RecordView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        updateGeometries();
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(event);
}

void RecordView::rowsAboutToChange()
{
    m_followOnChange = following();
}

void RecordView::rowsInserted(int first, int last)
{
    QScrollBar *bar = verticalScrollBar();
    updateScrollRange();
    if (last + 1 != m_model->rowCount()) {
        viewport()->update(); // not at the end: every row below moved
        return;
    }
    if (m_followOnChange)
        bar->setValue(bar->maximum());
    const int y = static_cast<int>(m_dropped + first - m_top) * m_rowHeight;
    if (y < viewport()->height())
        viewport()->update(QRect(0, y, viewport()->width(), (last - first + 1) * m_rowHeight));
}

void RecordView::rowsRemoved(int first, int last)
{
    if (first != 0) {
        updateScrollRange(); // not off the front: the rows below moved
        viewport()->update();
        return;
    }
    // The same frames stay in view: the bar's value drops with the rows in front of them.
    m_dropped += last - first + 1;
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(bar->value() - (last - first + 1));
    updateScrollRange();
    if (m_followOnChange)
        bar->setValue(bar->maximum());
    showFromBar(0); // the value may not have changed while the frames under it did
}

void RecordView::modelReset()
{
    m_dropped = 0;
    m_anchor = m_current = -1;
    updateScrollRange();
    verticalScrollBar()->setValue(0);
    m_top = 0;
    viewport()->update();
}

void RecordView::updateMetrics()
{
    const QFontMetrics metrics = fontMetrics();
    m_rowHeight = metrics.height() + 4;
    m_narrowest = metrics.horizontalAdvance(QLatin1Char(' '));
    for (char16_t c = ' '; c < m_advances.size(); ++c) {
        m_advances[c] = metrics.horizontalAdvance(QChar(c));
        m_narrowest = std::min(m_narrowest, m_advances[c]);
    }
    m_narrowest = std::max(m_narrowest, 1);
}

// The characters up to the first that starts beyond `width`: every glyph drawn costs, and a
// long frame's hex runs far past its column. Characters outside ASCII count as the narrowest,
// so a text is never cut short of its column's edge.
int RecordView::visibleLength(const QString &text, int width) const
{
    int x = 0;
    for (int k = 0; k < text.size(); ++k) {
        if (x > width)
            return k;
        const char16_t c = text[k].unicode();
        x += c >= ' ' && c < m_advances.size() ? m_advances[c] : m_narrowest;
    }
    return static_cast<int>(text.size());
}

void RecordView::updateGeometries()
{
    const int height = m_header->sizeHint().height();
    setViewportMargins(0, height, 0, 0);
    const QRect port = viewport()->geometry();
    m_header->setGeometry(port.left(), port.top() - height, port.width(), height);
    updateScrollRange();
}

void RecordView::updateScrollRange()
{
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(std::max(1, pageRows()));
    bar->setRange(0, std::max(0, m_model->rowCount() - pageRows()));
    QScrollBar *across = horizontalScrollBar();
    across->setPageStep(viewport()->width());
    across->setRange(0, std::max(0, m_header->length() - viewport()->width()));
}

void RecordView::scrollToRow(long long row)
{
    QScrollBar *bar = verticalScrollBar();
    const int modelRow = static_cast<int>(row - m_dropped);
    if (modelRow < bar->value())
        bar->setValue(modelRow);
    else if (modelRow >= bar->value() + pageRows())
        bar->setValue(modelRow - pageRows() + 1);
}

void RecordView::moveCurrent(long long row, bool extend)
{
    m_current = row;
    if (!extend || m_anchor < m_dropped)
        m_anchor = row;
    scrollToRow(row);
    viewport()->update();
    // A screen reader reads the row the keys or the mouse went to.
    QStringList cells;
    for (int column = 0; column < m_model->columnCount(); ++column)
        cells << rowText(row, column);
    setAccessibleDescription(cells.join(QLatin1Char(' ')));
}

long long RecordView::endRow() const
{
    return m_dropped + m_model->rowCount();
}

long long RecordView::rowAt(int y) const
{
    if (y < 0)
        return -1;
    const long long row = m_top + y / m_rowHeight;
    return row < endRow() ? row : -1;
}

int RecordView::pageRows() const
{
    return viewport()->height() / m_rowHeight;
}

QString RecordView::rowText(long long row, int column) const
{
    return m_model->index(static_cast<int>(row - m_dropped), column).data().toString();
}

bool RecordView::selected(long long row) const
{
    return m_anchor >= 0 && row >= std::min(m_anchor, m_current) &&
           row <= std::max(m_anchor, m_current);
}

} // namespace app
