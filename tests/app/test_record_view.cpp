#include "app/record_view.h"

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Rows added at the end and dropped off the front, as the traffic record changes.
struct Change
{
    int append = 0;
    int drop = 0;
};

struct ScrollCase
{
    const char *name;
    int initialRows;
    int scrollTo; // -1: left following the newest row
    std::vector<Change> changes;
    int expectedValue; // the scroll bar's value at the end; -1: its maximum
};

class RecordViewScrolling : public ::testing::TestWithParam<ScrollCase>
{
protected:
    void append(int count)
    {
        for (int k = 0; k < count; ++k) {
            const int n = m_next++;
            m_model.appendRow(
                {new QStandardItem(QStringLiteral("第 %1 行").arg(n)),
                 new QStandardItem(
                     QStringLiteral("01 03 %1 00 0F").arg(n % 256, 2, 16, QLatin1Char('0')))});
        }
    }
    // What the window shows: the backing store, where scrolled pixels stay as they were.
    QImage shown()
    {
        QApplication::processEvents();
        QApplication::processEvents();
        const QRect port(m_view.viewport()->mapTo(&m_view, QPoint(0, 0)),
                         m_view.viewport()->size());
        return m_view.screen()
            ->grabWindow(m_view.winId(), port.x(), port.y(), port.width(), port.height())
            .toImage();
    }

    QStandardItemModel m_model{0, 2};
    app::RecordView m_view{&m_model};
    int m_next = 0;
};

} // namespace

// After rows came and went, the scrolled picture is the one a full repaint draws: no row
// left behind where another now belongs, none painted twice.
TEST_P(RecordViewScrolling, ShowsWhatAFullRepaintShows)
{
    const ScrollCase &c = GetParam();
    m_view.resize(400, 200);
    m_view.show();
    append(c.initialRows);
    QApplication::processEvents();
    if (c.scrollTo >= 0)
        m_view.verticalScrollBar()->setValue(c.scrollTo);
    for (const Change &change : c.changes) {
        if (change.drop > 0)
            m_model.removeRows(0, change.drop);
        append(change.append);
        (void)shown();
    }
    const QImage scrolled = shown();
    m_view.viewport()->repaint();
    EXPECT_EQ(scrolled, shown());
    QScrollBar *bar = m_view.verticalScrollBar();
    EXPECT_EQ(bar->value(), c.expectedValue < 0 ? bar->maximum() : c.expectedValue);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, RecordViewScrolling,
    ::testing::Values(ScrollCase{"FewRowsFillingThePage", 2, -1, {{3, 0}, {1, 0}}, -1},
                      ScrollCase{
                          "FollowingSmallBatches", 5, -1, {{3, 0}, {3, 0}, {4, 0}, {2, 0}}, -1},
                      ScrollCase{"FollowingAPageAndMoreAtOnce", 30, -1, {{40, 0}, {1, 0}}, -1},
                      ScrollCase{"FullRecordFollowing", 60, -1, {{5, 5}, {3, 3}, {7, 7}}, -1},
                      // Scrolled up to read, the same frames stay in view as the front drops.
                      ScrollCase{"FullRecordScrolledUp", 60, 20, {{5, 5}, {3, 3}, {2, 2}}, 10},
                      ScrollCase{"FrontDropsPastTheRowsInView", 60, 4, {{10, 10}}, 0},
                      ScrollCase{"FrontDropsAtTheTop", 60, 0, {{0, 5}, {2, 2}}, 0},
                      ScrollCase{"FewRowsLosingTheirFront", 5, -1, {{0, 2}}, 0},
                      ScrollCase{"ClearedAndRefilled", 30, -1, {{0, 30}, {3, 0}}, 0}),
    [](const auto &info) { return std::string(info.param.name); });

// A run picked with the keys stays on its frames while rows drop off the front.
TEST(RecordView, SelectionFollowsItsRowsWhenTheFrontDrops)
{
    QStandardItemModel model(20, 1);
    app::RecordView view(&model);
    view.resize(300, 200);
    QTest::keyClick(&view, Qt::Key_Home);
    for (int k = 0; k < 10; ++k)
        QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedRows(), QList<int>({10, 11, 12}));
    model.removeRows(0, 5);
    EXPECT_EQ(view.selectedRows(), QList<int>({5, 6, 7}));
    model.removeRows(0, 6);
    EXPECT_EQ(view.selectedRows(), QList<int>({0, 1}));
}
