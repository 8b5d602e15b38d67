#include "interval_plot.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace bench {
namespace {

constexpr int kPanelWidth = 640;
constexpr int kPanelHeight = 360;
constexpr int kHeadingHeight = 40;
constexpr int kLeft = 78;
constexpr int kRight = 16;
constexpr int kTop = 34;
constexpr int kBottom = 40;

// A step of 1, 2 or 5 times a power of ten giving about five ticks over the range.
double tickStep(double range)
{
    const double rough = range / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10.0 * power;
}

void drawPanel(QPainter &painter, const QRect &area, const PlotPanel &panel)
{
    const QRect plot(area.left() + kLeft, area.top() + kTop, area.width() - kLeft - kRight,
                     area.height() - kTop - kBottom);
    double maxTime = 1.0;
    double minGap = 0.0;
    double maxGap = panel.referenceMs * 1.2;
    for (const PlotSeries &series : panel.series) {
        if (!series.timesS.empty())
            maxTime = std::max(maxTime, series.timesS.back());
        // Scaled to the bulk of the values; rarer outliers are drawn on the top edge.
        std::vector<double> sorted = series.gapsMs;
        std::sort(sorted.begin(), sorted.end());
        if (!sorted.empty())
            maxGap = std::max(maxGap, sorted[sorted.size() * 999 / 1000] * 1.1);
    }
    if (panel.rangeMs) {
        minGap = panel.rangeMs->first;
        maxGap = panel.rangeMs->second;
    }
    const auto x = [&](double seconds) { return plot.left() + seconds / maxTime * plot.width(); };
    const auto y = [&](double gapMs) {
        const double clamped = std::clamp(gapMs, minGap, maxGap);
        return plot.bottom() - (clamped - minGap) / (maxGap - minGap) * plot.height();
    };

    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(area.left(), area.top() + 6, area.width(), 22), Qt::AlignCenter,
                     panel.title);
    font.setBold(false);
    font.setPixelSize(12);
    painter.setFont(font);

    painter.setPen(QColor(225, 225, 225));
    const double gapStep = tickStep(maxGap - minGap);
    const double firstGap = std::ceil(minGap / gapStep - 1e-9) * gapStep;
    for (double gap = firstGap; gap <= maxGap + 1e-9; gap += gapStep) {
        painter.drawLine(QPointF(plot.left(), y(gap)), QPointF(plot.right(), y(gap)));
    }
    painter.setPen(Qt::black);
    for (double gap = firstGap; gap <= maxGap + 1e-9; gap += gapStep) {
        painter.drawText(QRectF(area.left(), y(gap) - 8, kLeft - 6, 16),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(std::abs(gap) < 1e-9 ? 0.0 : gap));
    }
    const double timeStep = tickStep(maxTime);
    for (double time = 0.0; time <= maxTime; time += timeStep) {
        painter.drawLine(QPointF(x(time), plot.bottom()), QPointF(x(time), plot.bottom() + 4));
        painter.drawText(QRectF(x(time) - 30, plot.bottom() + 5, 60, 16), Qt::AlignCenter,
                         QString::number(time));
    }
    painter.drawText(QRect(plot.left(), plot.bottom() + 20, plot.width(), 16), Qt::AlignCenter,
                     QStringLiteral("time (s)"));
    painter.save();
    painter.translate(area.left() + 12, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-140, -8, 280, 16), Qt::AlignCenter, panel.valueLabel);
    painter.restore();
    painter.drawRect(plot);

    QPen periodPen(QColor(0, 140, 0));
    periodPen.setStyle(Qt::DashLine);
    painter.setPen(periodPen);
    painter.drawLine(QPointF(plot.left(), y(panel.referenceMs)),
                     QPointF(plot.right(), y(panel.referenceMs)));

    int legendY = plot.top() + 6;
    for (const PlotSeries &series : panel.series) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(series.color);
        for (std::size_t index = 0; index < series.gapsMs.size(); ++index)
            painter.drawEllipse(QPointF(x(series.timesS[index]), y(series.gapsMs[index])), 1.3,
                                1.3);
        painter.drawRect(plot.right() - 150, legendY + 3, 10, 10);
        painter.setPen(Qt::black);
        painter.drawText(plot.right() - 136, legendY + 12, series.label);
        legendY += 18;
    }
    painter.setBrush(Qt::NoBrush);
}

} // namespace

bool writeIntervalPlot(const QString &path, const QString &heading,
                       const std::vector<PlotPanel> &panels)
{
    const int rows = static_cast<int>((panels.size() + 1) / 2);
    QImage image(2 * kPanelWidth, kHeadingHeight + rows * kPanelHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(16);
    painter.setFont(font);
    painter.drawText(QRect(0, 8, image.width(), kHeadingHeight - 8), Qt::AlignCenter, heading);
    for (std::size_t index = 0; index < panels.size(); ++index) {
        const int column = static_cast<int>(index % 2);
        const int row = static_cast<int>(index / 2);
        drawPanel(painter,
                  QRect(column * kPanelWidth, kHeadingHeight + row * kPanelHeight, kPanelWidth,
                        kPanelHeight),
                  panels[index]);
    }
    painter.end();
    return image.save(path, "PNG");
}

} // namespace bench
