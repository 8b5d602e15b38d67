#pragma once
#include <QColor>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace bench {

// One master's request gaps in one panel: a value in ms against time (s).
struct PlotSeries
{
    QString label;
    QColor color;
    std::vector<double> timesS;
    std::vector<double> gapsMs;
};

struct PlotPanel
{
    QString title;
    QString valueLabel;     // the vertical axis
    double referenceMs = 0; // drawn as a dashed line
    // The vertical range; values beyond it are drawn on its edge. Without one the range runs
    // from 0 to above the bulk of the values.
    std::optional<std::pair<double, double>> rangeMs;
    std::vector<PlotSeries> series;
};

// Draws the panels in a grid of two columns into a PNG; false if it cannot be written.
bool writeIntervalPlot(const QString &path, const QString &heading,
                       const std::vector<PlotPanel> &panels);

} // namespace bench
