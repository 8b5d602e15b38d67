#pragma once
#include "monitor/history.h"

#include <QElapsedTimer>
#include <QLineF>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <chrono>
#include <vector>

namespace app {

// The chosen fields of the query answers over the newest span, drawn with QPainter. Each
// pixel column shows the smallest and largest value that fell into it, so an hour of
// samples costs one pass and as many lines as the plot is wide. Colours come from the
// palette; lines differ by palette role and by dash pattern.
class TrendView : public QWidget
{
    Q_OBJECT

public:
    explicit TrendView(const monitor::Trend &trend, QWidget *parent = nullptr);

    void setFields(std::vector<int> fields);
    void setSpan(std::chrono::seconds span);
    // All fields on one axis instead of each on its own scale.
    void setSharedAxis(bool shared);

    // Works out the picture from the newest samples and repaints it.
    void refresh();
    // True once the newest samples would move the picture: at the longer spans a pixel
    // column stands for seconds, and refreshing more often than that shows nothing new.
    [[nodiscard]] bool due() const;

    // The current, smallest and largest value of a field over the span, for the legend.
    struct FieldSummary
    {
        int field;
        bool present = false;
        double current = 0;
        double min = 0;
        double max = 0;
    };
    [[nodiscard]] std::vector<FieldSummary> summaries() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    const monitor::Trend &m_trend;
    std::vector<int> m_fields{0};
    std::chrono::seconds m_span{60};
    bool m_shared = false;
    QElapsedTimer m_refreshed;

    // The picture as refresh() worked it out; paintEvent() only draws it, in the palette's
    // colours of the moment.
    QStringList m_legend;
    QRect m_plot;
    bool m_plotted = false;             // samples and room for them
    QString m_oldest;                   // the time label at the plot's left
    std::vector<QList<QLineF>> m_lines; // one per legend line, empty for a field without data
    QString m_high;                     // the scale of the first field drawn
    QString m_low;
};

} // namespace app
