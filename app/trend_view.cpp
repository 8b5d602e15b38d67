#include "trend_view.h"

#include "modbus/register_map.h"
#include "translations/device_texts.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace app {

namespace {

// Distinct without a hard-coded colour: palette roles first, then dash patterns.
constexpr QPalette::ColorRole kLineRoles[] = {QPalette::Highlight, QPalette::Link,
                                              QPalette::LinkVisited, QPalette::WindowText};
constexpr Qt::PenStyle kLineStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};

QPen linePen(const QPalette &palette, int k)
{
    QPen pen(palette.color(kLineRoles[k % 4]));
    pen.setStyle(kLineStyles[(k / 4) % 4]);
    pen.setWidth(2);
    return pen;
}

struct Column
{
    double min = std::numeric_limits<double>::max();
    double max = std::numeric_limits<double>::lowest();
    double first = 0;
    double last = 0;
    bool used = false;

    void add(double v)
    {
        if (!used)
            first = v;
        used = true;
        last = v;
        min = std::min(min, v);
        max = std::max(max, v);
    }
};

QString caption(int field)
{
    return i18n::caption(modbus::registerMap()[static_cast<std::size_t>(field)]);
}

QString number(double v)
{
    return QString::number(v, 'g', 7);
}

} // namespace

TrendView::TrendView(const monitor::Trend &trend, QWidget *parent) : QWidget(parent), m_trend(trend)
{
    setMinimumSize(320, 200);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

bool TrendView::due() const
{
    const auto column =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_span) / std::max(1, m_plot.width());
    return !m_refreshed.isValid() || m_refreshed.elapsed() >= column.count();
}

void TrendView::setFields(std::vector<int> fields)
{
    m_fields = std::move(fields);
    refresh();
}

void TrendView::setSpan(std::chrono::seconds span)
{
    m_span = span;
    refresh();
}

void TrendView::setSharedAxis(bool shared)
{
    m_shared = shared;
    refresh();
}

void TrendView::resizeEvent(QResizeEvent *event)
{
    refresh();
    QWidget::resizeEvent(event);
}

// Samples that came while the trend was hidden show as soon as it is.
void TrendView::showEvent(QShowEvent *event)
{
    refresh();
    QWidget::showEvent(event);
}

void TrendView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        refresh();
    QWidget::changeEvent(event);
}

std::vector<TrendView::FieldSummary> TrendView::summaries() const
{
    std::vector<FieldSummary> result;
    const auto &samples = m_trend.samples();
    if (samples.empty()) {
        for (int field : m_fields)
            result.push_back({field});
        return result;
    }
    const monitor::TimePoint start = samples.back().at - m_span;
    const auto from = std::lower_bound(samples.begin(), samples.end(), start,
                                       [](const auto &s, auto t) { return s.at < t; });
    for (int field : m_fields) {
        FieldSummary summary{field};
        for (auto it = from; it != samples.end(); ++it) {
            if (!it->has(field))
                continue;
            const double v = it->value(field);
            summary.min = summary.present ? std::min(summary.min, v) : v;
            summary.max = summary.present ? std::max(summary.max, v) : v;
            summary.current = v;
            summary.present = true;
        }
        result.push_back(summary);
    }
    return result;
}

void TrendView::refresh()
{
    m_refreshed.start();
    update();
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = metrics.height();
    const std::vector<FieldSummary> sums = summaries();

    // Legend: one line per field with its current value and the span's range.
    m_legend.clear();
    for (const FieldSummary &s : sums) {
        m_legend << (s.present ? tr("%1  当前 %2  最小 %3  最大 %4")
                                     .arg(caption(s.field), number(s.current), number(s.min),
                                          number(s.max))
                               : tr("%1  暂无数据").arg(caption(s.field)));
    }
    const int legendBottom = 4 + lineHeight * static_cast<int>(sums.size());
    m_plot =
        QRect(60, legendBottom + 8, width() - 70, height() - legendBottom - 8 - lineHeight - 8);
    m_lines.assign(sums.size(), {});
    m_high.clear();
    m_low.clear();
    const auto &samples = m_trend.samples();
    m_plotted = !samples.empty() && m_plot.width() >= 10 && m_plot.height() >= 10;
    if (!m_plotted)
        return;
    m_oldest = tr("%1 分钟前").arg(m_span.count() / 60);

    const monitor::TimePoint end = samples.back().at;
    const monitor::TimePoint start = end - m_span;
    const double spanNs =
        static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(m_span).count());
    const auto from = std::lower_bound(samples.begin(), samples.end(), start,
                                       [](const auto &s, auto t) { return s.at < t; });

    double sharedMin = 0;
    double sharedMax = 0;
    bool sharedSet = false;
    for (const FieldSummary &s : sums) {
        if (!s.present)
            continue;
        sharedMin = sharedSet ? std::min(sharedMin, s.min) : s.min;
        sharedMax = sharedSet ? std::max(sharedMax, s.max) : s.max;
        sharedSet = true;
    }

    const QRect plot = m_plot;
    const int columns = plot.width();
    std::vector<Column> bins(static_cast<std::size_t>(columns));
    for (std::size_t k = 0; k < sums.size(); ++k) {
        const FieldSummary &s = sums[k];
        if (!s.present)
            continue;
        double low = m_shared ? sharedMin : s.min;
        double high = m_shared ? sharedMax : s.max;
        if (high - low < 1e-9) {
            low -= 1;
            high += 1;
        }
        std::fill(bins.begin(), bins.end(), Column{});
        for (auto it = from; it != samples.end(); ++it) {
            if (!it->has(s.field))
                continue;
            const double ns = static_cast<double>(
                std::chrono::duration_cast<std::chrono::nanoseconds>(it->at - start).count());
            const int x = std::clamp(static_cast<int>(ns / spanNs * (columns - 1)), 0, columns - 1);
            bins[static_cast<std::size_t>(x)].add(it->value(s.field));
        }
        const auto toY = [&](double v) {
            return plot.bottom() - (v - low) / (high - low) * plot.height();
        };
        // One call for the whole line: a stroke per column would cost more than the samples.
        QList<QLineF> &lines = m_lines[k];
        lines.reserve(2 * columns);
        bool havePrevious = false;
        QPointF previous;
        for (int x = 0; x < columns; ++x) {
            const Column &c = bins[static_cast<std::size_t>(x)];
            if (!c.used)
                continue;
            const double px = plot.left() + x;
            if (havePrevious)
                lines.append(QLineF(previous, QPointF(px, toY(c.first))));
            if (c.max > c.min)
                lines.append(QLineF(QPointF(px, toY(c.min)), QPointF(px, toY(c.max))));
            previous = QPointF(px, toY(c.last));
            havePrevious = true;
        }
        // The scale of the first field drawn, or of the shared axis, at the left.
        if (m_high.isEmpty()) {
            m_high = number(high);
            m_low = number(low);
        }
    }
}

void TrendView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &pal = palette();
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = metrics.height();

    int y = 4;
    for (int k = 0; k < m_legend.size(); ++k) {
        painter.setPen(linePen(pal, k));
        painter.drawLine(8, y + lineHeight / 2, 36, y + lineHeight / 2);
        painter.setPen(pal.color(QPalette::Text));
        painter.drawText(44, y + metrics.ascent(), m_legend[k]);
        y += lineHeight;
    }
    if (m_plot.width() < 10 || m_plot.height() < 10)
        return;
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawRect(m_plot);
    if (!m_plotted)
        return;

    // Time labels at both ends of the plot.
    painter.setPen(pal.color(QPalette::Text));
    const int labelY = m_plot.bottom() + 4 + metrics.ascent();
    painter.drawText(m_plot.left(), labelY, m_oldest);
    const QString newest = tr("最新");
    painter.drawText(m_plot.right() - metrics.horizontalAdvance(newest), labelY, newest);

    painter.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t k = 0; k < m_lines.size(); ++k) {
        if (m_lines[k].isEmpty())
            continue;
        painter.setPen(linePen(pal, static_cast<int>(k)));
        painter.drawLines(m_lines[k]);
    }
    if (!m_high.isEmpty()) {
        painter.setPen(pal.color(QPalette::Text));
        painter.drawText(QRect(0, m_plot.top() - lineHeight / 2, m_plot.left() - 4, lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, m_high);
        painter.drawText(QRect(0, m_plot.bottom() - lineHeight / 2, m_plot.left() - 4, lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, m_low);
    }
}

} // namespace app
