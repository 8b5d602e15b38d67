#include "app/monitor_window.h"
#include "app/traffic_model.h"
#include "app/traffic_monitor.h"
#include "serial/fake_transport.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;

// A read of 15 registers from station 1 and the device's refusal of it (exception 2), CRCs as
// libmodbus computes them.
const QByteArray kRequest = QByteArray::fromHex("01030000000F05CE");
const QByteArray kRefusal = QByteArray::fromHex("018302C0F1");

struct FollowCase
{
    const char *name;
    int before;     // exchanges in the record when the operator looks
    int scrolledUp; // rows the operator scrolls up from the newest; 0: left there
    int after;      // exchanges that come while the operator reads
};

class MonitorRecord : public ::testing::TestWithParam<FollowCase>
{
protected:
    MonitorRecord() { m_traffic.watch(&m_line); }

    void exchange(int count)
    {
        for (int k = 0; k < count; ++k) {
            emit m_line.sent(kRequest, m_now);
            m_now += milliseconds(12);
            emit m_line.received(kRefusal, m_now);
            m_now += milliseconds(38);
        }
        m_traffic.flush();
    }
    // The window shows a batch on its own tick: then the newest row is the last answer.
    bool shows(int rows)
    {
        const auto shown = [&] {
            return m_view->model()->rowCount() == rows &&
                   cell(rows - 1, app::TrafficModel::Time) ==
                       m_traffic.wallClock().at(m_now - milliseconds(38)).toString(u"HH:mm:ss.zzz");
        };
        const QDeadlineTimer patience(10000);
        while (!shown() && !patience.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        QApplication::processEvents();
        return shown();
    }
    [[nodiscard]] QString cell(int row, int column) const
    {
        return m_view->model()->index(row, column).data().toString();
    }
    [[nodiscard]] bool inView(int row) const
    {
        const QRect rect = m_view->visualRect(m_view->model()->index(row, 0));
        return m_view->viewport()->rect().contains(rect);
    }

    serial::FakeTransport m_line;
    steady_clock::time_point m_now{hours(1)};
    app::TrafficMonitor m_traffic{nullptr, [this] { return m_now; }};
    app::MonitorWindow m_window{m_traffic};
    QAbstractItemView *m_view =
        m_window.findChild<QAbstractItemView *>(QStringLiteral("tblRecord"));
};

} // namespace

// A screen reader reads the cells through the view's table, and the view keeps the newest
// row in view unless the operator has scrolled up to read; then the rows read stay in place,
// also while the oldest frames drop off the front of a full record.
TEST_P(MonitorRecord, ReadableAndFollowingUnlessScrolledUp)
{
    const FollowCase &c = GetParam();
    ASSERT_NE(m_view, nullptr);
    m_window.resize(820, 560);
    m_window.show();
    exchange(c.before);
    const int shown = std::min(2 * c.before, static_cast<int>(monitor::kRecordCapacity));
    ASSERT_TRUE(shows(shown));
    EXPECT_TRUE(inView(shown - 1));

    QScrollBar *bar = m_view->verticalScrollBar();
    bar->setValue(bar->maximum() - c.scrolledUp);
    const QString topTime = cell(m_view->indexAt(QPoint(1, 1)).row(), app::TrafficModel::Time);
    exchange(c.after);
    const int rows = std::min(shown + 2 * c.after, static_cast<int>(monitor::kRecordCapacity));
    ASSERT_TRUE(shows(rows));
    EXPECT_EQ(inView(rows - 1), c.scrolledUp == 0);
    if (c.scrolledUp > 0) {
        EXPECT_EQ(cell(m_view->indexAt(QPoint(1, 1)).row(), app::TrafficModel::Time), topTime);
    }

    QAccessibleInterface *view = QAccessible::queryAccessibleInterface(m_view);
    ASSERT_NE(view, nullptr);
    QAccessibleTableInterface *table = view->tableInterface();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), rows);
    ASSERT_EQ(table->columnCount(), app::TrafficModel::ColumnCount);
    const auto name = [&](int row, int column) {
        QAccessibleInterface *at = table->cellAt(row, column);
        return at ? at->text(QAccessible::Name) : QStringLiteral("(no cell)");
    };
    EXPECT_EQ(name(rows - 2, app::TrafficModel::Bytes), QStringLiteral("01 03 00 00 00 0F 05 CE"));
    EXPECT_EQ(name(rows - 2, app::TrafficModel::Direction), QStringLiteral("发送"));
    EXPECT_EQ(name(rows - 1, app::TrafficModel::Bytes), QStringLiteral("01 83 02 C0 F1"));
    EXPECT_EQ(name(rows - 1, app::TrafficModel::Length), QStringLiteral("5"));
    for (int row = rows - 4; row < rows; ++row) {
        for (int column = 0; column < app::TrafficModel::ColumnCount; ++column)
            EXPECT_EQ(name(row, column), cell(row, column)) << row << ", " << column;
    }

    // The copy key copies the rows picked with the keys, not the view's current cell alone.
    QApplication::setActiveWindow(&m_window);
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(m_view, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(m_view, Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    ASSERT_EQ(copied.size(), 2);
    EXPECT_EQ(copied[0].split(QLatin1Char('\t')).value(app::TrafficModel::Bytes),
              QStringLiteral("01 03 00 00 00 0F 05 CE"));
    EXPECT_EQ(copied[1].split(QLatin1Char('\t')).value(app::TrafficModel::Bytes),
              QStringLiteral("01 83 02 C0 F1"));
}

class MonitorRecordPause : public MonitorRecord
{
};

INSTANTIATE_TEST_SUITE_P(Record, MonitorRecord,
                         ::testing::Values(FollowCase{"LeftAtTheNewest", 40, 0, 30},
                                           FollowCase{"ScrolledUp", 40, 10, 30},
                                           FollowCase{"ScrolledUpInAFullRecord", 50000, 10, 30}),
                         [](const auto &info) { return std::string(info.param.name); });

// "暂停显示" freezes the view only: the frames that come meanwhile are kept and show on
// "继续显示".
TEST_F(MonitorRecordPause, PausingLosesNoFrame)
{
    m_window.show();
    exchange(5);
    ASSERT_TRUE(shows(10));
    auto *pause = m_window.findChild<QPushButton *>(QStringLiteral("cmdPause"));
    pause->click();
    EXPECT_EQ(pause->text(), QStringLiteral("继续显示"));
    exchange(20);
    QTest::qWait(1500);
    EXPECT_EQ(m_view->model()->rowCount(), 10) << "the view is frozen";
    EXPECT_EQ(m_traffic.record().endIndex() - m_traffic.record().firstIndex(), 50);
    pause->click();
    EXPECT_TRUE(shows(50));
}
