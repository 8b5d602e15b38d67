#include "traffic_model.h"

#include "traffic_monitor.h"

#include <algorithm>
#include <cstring>

namespace app {

namespace {

void writeDigits(char *to, int value, int digits)
{
    for (int k = digits - 1; k >= 0; --k) {
        to[k] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

QString latin1(const std::array<char, 12> &text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(qstrnlen(text.data(), 12)));
}

} // namespace

TrafficModel::TrafficModel(const TrafficMonitor &monitor, QObject *parent)
    : QAbstractTableModel(parent), m_monitor(monitor)
{
    m_bold.setBold(true);
    const monitor::Record &record = m_monitor.record();
    m_first = record.firstIndex();
    takeFrames(record.firstIndex(), record.endIndex());
}

// Once per frame, as every paint asks for the rows in view again: the time of day from the
// wall clock's own conversion (3 k instructions), its text by hand, as QDateTime's formatting
// would triple that.
void TrafficModel::takeFrames(long long first, long long end)
{
    const monitor::Record &record = m_monitor.record();
    for (long long i = first; i < end; ++i) {
        const monitor::Frame &frame = record.at(i);
        Written written;
        const QTime time = m_monitor.wallClock().at(frame.at).time();
        char *t = written.time.data();
        writeDigits(t, time.hour(), 2);
        t[2] = ':';
        writeDigits(t + 3, time.minute(), 2);
        t[5] = ':';
        writeDigits(t + 6, time.second(), 2);
        t[8] = '.';
        writeDigits(t + 9, time.msec(), 3);
        if (frame.responseTime) {
            const QByteArray ms = QByteArray::number(
                static_cast<double>(frame.responseTime->count()) / 1000.0, 'f', 1);
            std::memcpy(written.response.data(), ms.constData(),
                        std::min(static_cast<std::size_t>(ms.size()), written.response.size()));
        }
        m_written.push_back(written);
    }
}

int TrafficModel::sync()
{
    const monitor::Record &record = m_monitor.record();
    const int rows = static_cast<int>(m_written.size());
    const int gone = static_cast<int>(std::min<long long>(record.firstIndex() - m_first, rows));
    if (gone > 0) {
        beginRemoveRows({}, 0, gone - 1);
        m_written.erase(m_written.begin(), m_written.begin() + gone);
        m_first += gone;
        endRemoveRows();
    }
    if (m_written.empty())
        m_first = record.firstIndex();
    const long long end = m_first + static_cast<long long>(m_written.size());
    if (record.endIndex() > end) {
        const int first = static_cast<int>(m_written.size());
        beginInsertRows({}, first, first + static_cast<int>(record.endIndex() - end) - 1);
        takeFrames(end, record.endIndex());
        endInsertRows();
    }
    return std::max(gone, 0);
}

int TrafficModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_written.size());
}

int TrafficModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

// Between a batch and the next sync() the record may have dropped or cleared a row's frame.
const monitor::Frame *TrafficModel::frameAt(int row) const
{
    const monitor::Record &record = m_monitor.record();
    const long long i = m_first + row;
    return i >= record.firstIndex() && i < record.endIndex() ? &record.at(i) : nullptr;
}

QString TrafficModel::cellText(int row, int column) const
{
    const monitor::Frame *found = frameAt(row);
    if (!found)
        return QString();
    const monitor::Frame &frame = *found;
    const Written &written = m_written[static_cast<std::size_t>(row)];
    switch (column) {
    case Time:
        return latin1(written.time);
    case Direction:
        return monitor::directionWords(frame.direction);
    // The bytes and the meaning are kept as the frame holds them: their text for 100 000
    // frames would take more memory than the frames themselves.
    case Bytes:
        return monitor::hexText(frame.bytes);
    case Length:
        return QString::number(frame.bytes.size());
    case Meaning:
        return QString::fromStdString(frame.meaning);
    case Response:
        return latin1(written.response);
    default:
        return QString();
    }
}

QVariant TrafficModel::data(const QModelIndex &index, int role) const
{
    QModelRoleData roleData(role);
    multiData(index, roleData);
    return roleData.data();
}

void TrafficModel::multiData(const QModelIndex &index, QModelRoleDataSpan roleDataSpan) const
{
    const bool valid = checkIndex(index, CheckIndexOption::IndexIsValid);
    QString text;
    bool textTaken = false;
    for (QModelRoleData &roleData : roleDataSpan) {
        roleData.clearData();
        if (!valid)
            continue;
        switch (roleData.role()) {
        // A cell cut at its column's edge shows whole in its tooltip.
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            if (!textTaken)
                text = cellText(index.row(), index.column());
            textTaken = true;
            roleData.setData(text);
            break;
        case Qt::TextAlignmentRole:
            if (index.column() == Length || index.column() == Response)
                roleData.setData(int(Qt::AlignRight | Qt::AlignVCenter));
            break;
        // Faults stand out by weight, not by a colour a dark theme could swallow.
        case Qt::FontRole:
            if (index.column() == Meaning) {
                const monitor::Frame *frame = frameAt(index.row());
                if (frame && frame->verdict != monitor::Verdict::Request &&
                    frame->verdict != monitor::Verdict::Complete)
                    roleData.setData(m_bold);
            }
            break;
        default:
            break;
        }
    }
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList kTitles{
        tr("时间"), tr("方向"), tr("长度"), tr("含义"), tr("响应时间 (毫秒)"), tr("字节")};
    return kTitles.value(section);
}

QString TrafficModel::rowsAsText(const QList<int> &rows) const
{
    QStringList lines;
    for (int row : rows) {
        QStringList cells;
        for (int column = 0; column < ColumnCount; ++column)
            cells << cellText(row, column);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

QString TrafficModel::rowsAsBytes(const QList<int> &rows) const
{
    QStringList lines;
    for (int row : rows)
        lines << cellText(row, Bytes);
    return lines.join(QLatin1Char('\n'));
}

} // namespace app
