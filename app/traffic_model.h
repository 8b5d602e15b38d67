#pragma once
#include <QAbstractTableModel>
#include <QFont>

#include <array>
#include <deque>

namespace monitor {
struct Frame;
}

namespace app {

class TrafficMonitor;

// The traffic record as table rows, read straight from the monitor's record. sync() brings
// the rows in line after a batch: the frames dropped off the front go in one removal, the new
// ones come at the end in one insertion, so the view is never reset.
class TrafficModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The bytes come last: the widest column, cut first when the window is narrow.
    enum Column { Time, Direction, Length, Meaning, Response, Bytes, ColumnCount };

    explicit TrafficModel(const TrafficMonitor &monitor, QObject *parent = nullptr);

    // Returns the number of rows dropped off the front.
    int sync();

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    // A delegate asks for all its roles in one call: one look-up of the frame per cell.
    void multiData(const QModelIndex &index, QModelRoleDataSpan roleDataSpan) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

    // The rows as text, one line each with the columns separated by tabs.
    [[nodiscard]] QString rowsAsText(const QList<int> &rows) const;
    // The rows' bytes in hex, one frame per line.
    [[nodiscard]] QString rowsAsBytes(const QList<int> &rows) const;

private:
    // What a frame shows that takes a time zone or a decimal point to write, written once when
    // the frame comes in. Latin-1, unused characters zero.
    struct Written
    {
        std::array<char, 12> time{};     // HH:mm:ss.zzz
        std::array<char, 12> response{}; // milliseconds, one decimal
    };

    void takeFrames(long long first, long long end);
    [[nodiscard]] const monitor::Frame *frameAt(int row) const;
    [[nodiscard]] QString cellText(int row, int column) const;

    const TrafficMonitor &m_monitor;
    long long m_first = 0; // absolute index of row 0
    std::deque<Written> m_written;
    QFont m_bold;
};

} // namespace app
