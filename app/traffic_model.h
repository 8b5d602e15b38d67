#pragma once
#include <QAbstractTableModel>

namespace app {

class TrafficMonitor;

// The traffic record as table rows, read straight from the monitor's record. sync() brings
// the rows in line after a batch: the frames dropped off the front go, the new ones come at
// the end, so the view never rebuilds.
class TrafficModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The bytes come last: the widest column, cut first when the window is narrow.
    enum Column { Time, Direction, Length, Meaning, Response, Bytes, ColumnCount };

    explicit TrafficModel(const TrafficMonitor &monitor, QObject *parent = nullptr);

    void sync();

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

    // The rows as text, one line each with the columns separated by tabs.
    [[nodiscard]] QString rowsAsText(const QList<int> &rows) const;
    // The rows' bytes in hex, one frame per line.
    [[nodiscard]] QString rowsAsBytes(const QList<int> &rows) const;

private:
    [[nodiscard]] QString cellText(long long frameIndex, int column) const;

    const TrafficMonitor &m_monitor;
    long long m_first = 0; // absolute index of row 0
    int m_rows = 0;
};

} // namespace app
