#pragma once
#include <QColor>
#include <QString>

#include <vector>

namespace bench {

// One master's request gaps in one panel: gap (ms) against time (s).
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
    double periodMs = 0.0;
    std::vector<PlotSeries> series;
};

// Draws the panels in a grid of two columns into a PNG; false if it cannot be written.
bool writeIntervalPlot(const QString &path, const QString &heading,
                       const std::vector<PlotPanel> &panels);

} // namespace bench
