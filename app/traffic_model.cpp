#include "traffic_model.h"

#include "traffic_monitor.h"

#include <QFont>

namespace app {

TrafficModel::TrafficModel(const TrafficMonitor &monitor, QObject *parent)
    : QAbstractTableModel(parent), m_monitor(monitor)
{
    m_first = m_monitor.record().firstIndex();
    m_rows = static_cast<int>(m_monitor.record().size());
}

void TrafficModel::sync()
{
    const monitor::Record &record = m_monitor.record();
    const long long gone = std::min<long long>(record.firstIndex() - m_first, m_rows);
    if (gone > 0) {
        beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
        m_first += gone;
        m_rows -= static_cast<int>(gone);
        endRemoveRows();
    }
    if (m_rows == 0)
        m_first = record.firstIndex();
    const long long added = record.endIndex() - (m_first + m_rows);
    if (added > 0) {
        beginInsertRows({}, m_rows, m_rows + static_cast<int>(added) - 1);
        m_rows += static_cast<int>(added);
        endInsertRows();
    }
}

int TrafficModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TrafficModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TrafficModel::cellText(long long frameIndex, int column) const
{
    const monitor::Record &record = m_monitor.record();
    if (frameIndex < record.firstIndex() || frameIndex >= record.endIndex())
        return QString();
    const monitor::Frame &frame = record.at(frameIndex);
    switch (column) {
    case Time:
        return m_monitor.wallClock().at(frame.at).toString(QStringLiteral("HH:mm:ss.zzz"));
    case Direction:
        return monitor::directionText(frame.direction);
    case Bytes:
        return monitor::hexText(frame.bytes);
    case Length:
        return QString::number(frame.bytes.size());
    case Meaning:
        return QString::fromStdString(frame.meaning);
    case Response:
        if (!frame.responseTime)
            return QString();
        return QString::number(static_cast<double>(frame.responseTime->count()) / 1000.0, 'f', 1);
    default:
        return QString();
    }
}

QVariant TrafficModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const long long frameIndex = m_first + index.row();
    if (role == Qt::DisplayRole)
        return cellText(frameIndex, index.column());
    if (role == Qt::TextAlignmentRole && (index.column() == Length || index.column() == Response))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    // Faults stand out by weight, not by a colour a dark theme could swallow.
    if (role == Qt::FontRole && index.column() == Meaning) {
        const monitor::Record &record = m_monitor.record();
        if (frameIndex < record.firstIndex() || frameIndex >= record.endIndex())
            return {};
        const monitor::Verdict verdict = record.at(frameIndex).verdict;
        if (verdict != monitor::Verdict::Request && verdict != monitor::Verdict::Complete) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
    }
    return {};
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList kTitles{QStringLiteral("时间"),
                                     QStringLiteral("方向"),
                                     QStringLiteral("长度"),
                                     QStringLiteral("含义"),
                                     QStringLiteral("响应时间 (毫秒)"),
                                     QStringLiteral("字节")};
    return kTitles.value(section);
}

QString TrafficModel::rowsAsText(const QList<int> &rows) const
{
    QStringList lines;
    for (int row : rows) {
        QStringList cells;
        for (int column = 0; column < ColumnCount; ++column)
            cells << cellText(m_first + row, column);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

QString TrafficModel::rowsAsBytes(const QList<int> &rows) const
{
    QStringList lines;
    for (int row : rows)
        lines << cellText(m_first + row, Bytes);
    return lines.join(QLatin1Char('\n'));
}

} // namespace app
