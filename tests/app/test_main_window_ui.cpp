#include "app/main_window_ui.h"
#include "app/product_link_address.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

std::string s(const QString &text)
{
    return text.toStdString();
}

std::string s(const QRect &r)
{
    return QStringLiteral("(%1,%2 %3x%4)")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

QString shownText(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *group = qobject_cast<const QGroupBox *>(widget))
        return group->title();
    if (const auto *field = qobject_cast<const QLineEdit *>(widget))
        return field->text();
    if (const auto *box = qobject_cast<const QPlainTextEdit *>(widget))
        return box->toPlainText();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->currentText();
    return {};
}

// Every control of the window: its container, its kind and its text before start-up.
struct Control
{
    const char *name;
    const char *parent;
    const char *kind;
    const char *text; // nullptr for controls without text
};

const std::vector<Control> &controls()
{
    static const std::vector<Control> table{
        {"Frame5", "frmMain", "QGroupBox", "串口设置"},
        {"Label3", "Frame5", "QLabel", "串口号"},
        {"Combo1", "Frame5", "QComboBox", "COM4"},
        {"Label5(2)", "Frame5", "QLabel", "波特率"},
        {"Combo2", "Frame5", "QComboBox", "9600"},
        {"Label5(0)", "Frame5", "QLabel", "校验位"},
        {"Combo3", "Frame5", "QComboBox", "无校验"},
        {"Label5(1)", "Frame5", "QLabel", "数据位"},
        {"Combo4", "Frame5", "QComboBox", "8"},
        {"Label5(3)", "Frame5", "QLabel", "停止位"},
        {"Combo5", "Frame5", "QComboBox", "1"},
        {"Picture2", "Frame5", "QWidget", nullptr},
        {"imgNotConnected", "Picture2", "QLabel", ""},
        {"ImgYellow", "Picture2", "QLabel", ""},
        {"imgConnected", "Picture2", "QLabel", ""},
        {"cmdCom", "Frame5", "QPushButton", "打开串口"},
        {"Command1", "Frame5", "QPushButton", "关闭串口"},
        {"Label7", "Frame5", "QLabel", "串口发送数据"},
        {"txtCommand", "Frame5", "QPlainTextEdit", ""},
        {"Label1(0)", "Frame5", "QLabel", "串口接收数据"},
        {"txtState", "Frame5", "QPlainTextEdit", ""},
        {"Label1(1)", "Frame5", "QLabel", "成功接收/循环 计数"},
        {"lblErrCounter", "Frame5", "QLabel", "0"},
        {"Line1(0)", "Frame5", "QFrame", nullptr},
        {"lblCounter", "Frame5", "QLabel", "0"},
        {"Label6", "frmMain", "QLabel", "默认参数"},
        {"cmdDefaultSet(0)", "frmMain", "QPushButton", "水分控制器"},
        {"cmdDefaultSet(1)", "frmMain", "QPushButton", "雨雪控制器"},
        {"cmdDefaultSet(2)", "frmMain", "QPushButton", "风速控制器"},
        {"cmdDefaultSet(3)", "frmMain", "QPushButton", "PH值控制器"},
        {"Frame10", "frmMain", "QGroupBox", "MODBUS设置"},
        {"Label8(0)", "Frame10", "QLabel", "设备地址"},
        {"txtStationID", "Frame10", "QLineEdit", "2"},
        {"Label8(3)", "Frame10", "QLabel", "功 能 码"},
        {"txtFunID", "Frame10", "QLineEdit", "3"},
        {"Label8(1)", "Frame10", "QLabel", "超始地址"},
        {"txtStartID", "Frame10", "QLineEdit", "0"},
        {"Label8(2)", "Frame10", "QLabel", "数据长度"},
        {"txtDataLength", "Frame10", "QLineEdit", "16"},
        {"Frame12", "frmMain", "QGroupBox", "设备地址修改操作"},
        {"Label2(7)", "Frame12", "QLabel", "将地址      修改为  "},
        {"txtSetID(0)", "Frame12", "QLineEdit", "1"},
        {"txtSetID(1)", "Frame12", "QLineEdit", "1"},
        {"cmdReadAdd", "Frame12", "QPushButton", "读地址"},
        {"cmdChangeID", "Frame12", "QPushButton", "执行"},
        {"Frame3", "frmMain", "QGroupBox", "数据及参数查询"},
        {"lblDanWei(2)", "Frame3", "QLabel", "测量值"},
        {"lblDanWei(1)", "Frame3", "QLabel", "原始电压值"},
        {"lblDanWei(8)", "Frame3", "QLabel", "报警状态"},
        {"lblDanWei(11)", "Frame3", "QLabel", "报警高值"},
        {"lblDanWei(4)", "Frame3", "QLabel", "报警低值"},
        {"lblDanWei(13)", "Frame3", "QLabel", "控制回差"},
        {"lblDanWei(0)", "Frame3", "QLabel", "校 正 值"},
        {"lblDanWei(10)", "Frame3", "QLabel", "控制模式"},
        {"lblDanWei(7)", "Frame3", "QLabel", "波特率"},
        {"lblDanWei(16)", "Frame3", "QLabel", "设备地址"},
        {"lblDanWei(6)", "Frame3", "QLabel", "电压高值"},
        {"lblDanWei(5)", "Frame3", "QLabel", "电压低值"},
        {"lblDanWei(12)", "Frame3", "QLabel", "显示高值"},
        {"lblDanWei(9)", "Frame3", "QLabel", "显示低值"},
        {"lblDanWei(17)", "Frame3", "QLabel", "输入电压"},
        {"lblDanWei(3)", "Frame3", "QLabel", "%RH"},
        {"lblDanWei(15)", "Frame3", "QLabel", "0-2"},
        {"Label2(0)", "Frame3", "QLabel", "值范围为：750-9000"},
        {"Label2(1)", "Frame3", "QLabel", "值范围为：-99到99"},
        {"Label2(2)", "Frame3", "QLabel", "值范围为：1，2，4，8"},
        {"Label2(3)", "Frame3", "QLabel", "值:2400,4800,9600,19200,38400"},
        {"Label2(4)", "Frame3", "QLabel", "值范围为：0到999"},
        {"Label2(5)", "Frame3", "QLabel", "1-正常控制模式 2-反向超限控制"},
        {"Label2(6)", "Frame3", "QLabel", "值范围为：4000-4095"},
        {"Label2(8)", "Frame3", "QLabel", "值范围为：0-50000"},
        {"Label2(9)", "Frame3", "QLabel", "值范围为：0-10000"},
        {"Label2(10)", "Frame3", "QLabel", "值范围为：0-65535"},
        {"Label2(11)", "Frame3", "QLabel", "值范围为：0-999"},
        {"Label2(12)", "Frame3", "QLabel", "值范围为：2,5"},
        {"Label2(13)", "Frame3", "QLabel", "值范围为：1到999"},
        {"Label2(14)", "Frame3", "QLabel", "值范围为：0到999"},
        {"Line2", "Frame3", "QFrame", nullptr},
        {"Label8(4)", "Frame3", "QLabel", "定时时长(ms)"},
        {"txtTimerSet", "Frame3", "QLineEdit", "1000"},
        {"comDoOnce", "Frame3", "QPushButton", "单次"},
        {"cmdOneM", "Frame3", "QPushButton", "循环"},
        {"cmdStopOnce", "Frame3", "QPushButton", "停止"},
        {"Label8(5)", "Frame3", "QLabel", "设备信息"},
        {"TXTtype", "Frame3", "QLineEdit", "1000"},
        {"Command2", "Frame3", "QPushButton", "读设备信息"},
        {"Label1(2)", "frmMain", "QLabel", "产品手册及资料下载地址"},
        {"Label4", "frmMain", "app::LinkLabel",
         "http://www.example.com/products/instrument/controller/2016/0414/RX904.html"},
        {"Label1(4)", "frmMain", "QLabel", "产品手册及资料下载地址"},
        {"lblurl", "frmMain", "app::LinkLabel", "http://www.example.com/products/RX903.html"},
    };
    return table;
}

// The value rows of Frame3, top to bottom: row k + 1 holds txtValue(k).
struct ValueRow
{
    int nameLabel;
    const char *name;
    int setButton; // -1: no button
    int hint;      // -1: no range label
};

const std::array<ValueRow, 15> kRows{{
    {2, "测量值", -1, -1},
    {1, "原始电压值", -1, -1},
    {8, "报警状态", -1, -1},
    {11, "报警高值", 0, 13},
    {4, "报警低值", 1, 14},
    {13, "控制回差", 2, 4},
    {0, "校 正 值", 3, 1},
    {10, "控制模式", 4, 5},
    {7, "波特率", 5, 3},
    {16, "设备地址", 6, -1},
    {6, "电压高值", 7, 8},
    {5, "电压低值", 8, 9},
    {12, "显示高值", 9, 10},
    {9, "显示低值", 10, 11},
    {17, "输入电压", 11, 12},
}};

const std::set<QString> &hiddenControls()
{
    static const std::set<QString> names{
        u("cmdSet(6)"), u("lblDanWei(3)"), u("lblDanWei(15)"),
        u("Label2(0)"), u("Label2(2)"),    u("Label2(6)"),
    };
    return names;
}

QString member(const char *array, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

class MainWindowUiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ui.setupUi(&window);
        window.show();
    }

    template <typename Widget = QWidget> Widget *find(const QString &name) const
    {
        if (name == QLatin1String("frmMain"))
            return qobject_cast<Widget *>(const_cast<QWidget *>(&window));
        return window.findChild<Widget *>(name);
    }

    template <typename Widget = QWidget> Widget *find(const char *name) const
    {
        return find<Widget>(u(name));
    }

    // The controls placed directly in a container, as the window's layout knows them.
    std::vector<QWidget *> controlsIn(const QWidget *container) const
    {
        std::vector<QWidget *> found;
        for (QWidget *child :
             container->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            const QString name = child->objectName();
            if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
                found.push_back(child);
        }
        return found;
    }

    std::vector<QWidget *> containers() const
    {
        return {find("frmMain"), find("Frame5"), find("Frame10"), find("Frame12"), find("Frame3")};
    }

    QWidget window;
    app::MainWindowUi ui;
};

TEST_F(MainWindowUiTest, WindowHasItsCaptionIconAndFixedClientSize)
{
    EXPECT_EQ(window.objectName(), u("frmMain"));
    EXPECT_EQ(window.windowTitle(), u("RX904智能电压控制器工具软件"));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.size(), QSize(668, 589));
    EXPECT_EQ(window.minimumSize(), QSize(668, 589));
    EXPECT_EQ(window.maximumSize(), QSize(668, 589));
}

TEST_F(MainWindowUiTest, WindowFontIsAChineseFontOfFixedPixelSize)
{
    // Without it the fit checks below measure a fallback font and Chinese may not render.
    const QFontInfo info(window.font());
    EXPECT_EQ(info.family(), u("Noto Sans CJK SC")) << "install fonts-noto-cjk";
    EXPECT_EQ(window.font().pixelSize(), 12);
    EXPECT_TRUE(QFontMetrics(window.font()).inFontUcs4(U'串'));
}

TEST_F(MainWindowUiTest, EveryControlHasItsNameKindContainerAndDesignText)
{
    for (const Control &control : controls()) {
        SCOPED_TRACE(control.name);
        QWidget *widget = find(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(control.kind)) << widget->metaObject()->className();
        ASSERT_NE(widget->parentWidget(), nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), u(control.parent));
        if (control.text) {
            EXPECT_EQ(s(shownText(widget)), control.text);
        }
    }
}

TEST_F(MainWindowUiTest, ValueRowsHaveTheirNamesFieldsButtonsAndHints)
{
    const std::array<const char *, 15> hints{
        nullptr,
        "值范围为：-99到99",
        nullptr,
        "值:2400,4800,9600,19200,38400",
        "值范围为：0到999",
        "1-正常控制模式 2-反向超限控制",
        nullptr,
        nullptr,
        "值范围为：0-50000",
        "值范围为：0-10000",
        "值范围为：0-65535",
        "值范围为：0-999",
        "值范围为：2,5",
        "值范围为：1到999",
        "值范围为：0到999",
    };
    for (std::size_t k = 0; k < kRows.size(); ++k) {
        const ValueRow &row = kRows[k];
        SCOPED_TRACE(k);
        auto *field = find<QLineEdit>(member("txtValue", static_cast<int>(k)));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(), u("0"));
        EXPECT_EQ(field->parentWidget()->objectName(), u("Frame3"));
        auto *name = find<QLabel>(member("lblDanWei", row.nameLabel));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(s(name->text()), row.name);
        if (row.setButton >= 0) {
            auto *button = find<QPushButton>(member("cmdSet", row.setButton));
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), u("设置"));
            EXPECT_EQ(button->parentWidget()->objectName(), u("Frame3"));
        }
        if (row.hint >= 0) {
            auto *hint = find<QLabel>(member("Label2", row.hint));
            ASSERT_NE(hint, nullptr);
            EXPECT_EQ(s(hint->text()), hints[static_cast<std::size_t>(row.hint)]);
        }
    }
}

TEST_F(MainWindowUiTest, ArraysHaveExactlyTheirMembers)
{
    const auto check = [&](const char *array, const auto &members, std::set<int> indexes) {
        for (std::size_t i = 0; i < members.size(); ++i) {
            const int index = static_cast<int>(i);
            SCOPED_TRACE(s(member(array, index)));
            QWidget *widget = members[i];
            if (indexes.count(index) == 0) {
                EXPECT_EQ(widget, nullptr);
                EXPECT_EQ(find(member(array, index)), nullptr);
                continue;
            }
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->objectName(), member(array, index));
            EXPECT_EQ(find(member(array, index)), widget);
        }
    };
    std::set<int> danWei;
    for (int i = 0; i <= 17; ++i)
        if (i != 14)
            danWei.insert(i);
    check("lblDanWei", ui.lblDanWei, danWei);
    check("Label2", ui.Label2, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    check("Label1", ui.Label1, {0, 1, 2, 4});
    check("Label5", ui.Label5, {0, 1, 2, 3});
    check("Label8", ui.Label8, {0, 1, 2, 3, 4, 5});
    check("txtValue", ui.txtValue, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    check("cmdSet", ui.cmdSet, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    check("txtSetID", ui.txtSetID, {0, 1});
    check("cmdDefaultSet", ui.cmdDefaultSet, {0, 1, 2, 3});
    check("Line1", ui.Line1, {0});
}

TEST_F(MainWindowUiTest, SingleMembersAreTheNamedWidgets)
{
    const std::vector<std::pair<const char *, QWidget *>> members{
        {"Frame5", ui.Frame5},
        {"Frame10", ui.Frame10},
        {"Frame12", ui.Frame12},
        {"Frame3", ui.Frame3},
        {"Combo1", ui.Combo1},
        {"Combo2", ui.Combo2},
        {"Combo3", ui.Combo3},
        {"Combo4", ui.Combo4},
        {"Combo5", ui.Combo5},
        {"Label3", ui.Label3},
        {"Label6", ui.Label6},
        {"Label7", ui.Label7},
        {"Label4", ui.Label4},
        {"lblurl", ui.lblurl},
        {"lblErrCounter", ui.lblErrCounter},
        {"lblCounter", ui.lblCounter},
        {"txtStationID", ui.txtStationID},
        {"txtFunID", ui.txtFunID},
        {"txtStartID", ui.txtStartID},
        {"txtDataLength", ui.txtDataLength},
        {"txtTimerSet", ui.txtTimerSet},
        {"TXTtype", ui.TXTtype},
        {"txtCommand", ui.txtCommand},
        {"txtState", ui.txtState},
        {"cmdCom", ui.cmdCom},
        {"Command1", ui.Command1},
        {"cmdReadAdd", ui.cmdReadAdd},
        {"cmdChangeID", ui.cmdChangeID},
        {"comDoOnce", ui.comDoOnce},
        {"cmdOneM", ui.cmdOneM},
        {"cmdStopOnce", ui.cmdStopOnce},
        {"Command2", ui.Command2},
        {"Picture2", ui.Picture2},
        {"imgNotConnected", ui.imgNotConnected},
        {"ImgYellow", ui.ImgYellow},
        {"imgConnected", ui.imgConnected},
        {"Line2", ui.Line2},
    };
    for (const auto &[name, widget] : members) {
        SCOPED_TRACE(name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(find(name), widget);
    }
}

TEST_F(MainWindowUiTest, TopLevelMembersSitAtTheirTwipPositions)
{
    // Twips of the design divided by 15.
    const std::vector<std::pair<const char *, QRect>> placements{
        {"Frame5", QRect(0, 8, 161, 393)},
        {"Label6", QRect(16, 408, 105, 17)},
        {"cmdDefaultSet(0)", QRect(24, 432, 97, 25)},
        {"cmdDefaultSet(1)", QRect(24, 464, 97, 25)},
        {"cmdDefaultSet(2)", QRect(24, 496, 97, 25)},
        {"cmdDefaultSet(3)", QRect(24, 528, 97, 25)},
        {"Frame10", QRect(168, 0, 497, 49)},
        {"Frame12", QRect(168, 56, 497, 65)},
        {"Frame3", QRect(168, 128, 497, 433)},
        {"Label1(2)", QRect(16, 568, 153, 17)},
    };
    for (const auto &[name, geometry] : placements) {
        SCOPED_TRACE(name);
        QWidget *widget = find(name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), &window);
        EXPECT_EQ(widget->geometry(), geometry) << s(widget->geometry());
    }
}

TEST_F(MainWindowUiTest, ProductLinkShowsTheWholeAddressSizedToItsText)
{
    auto *link = find<QLabel>("Label4");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text(), QString::fromLatin1(app::kProductPageUrl));
    EXPECT_TRUE(link->text().endsWith(u("/products/instrument/controller/2016/0414/RX904.html")));
    EXPECT_EQ(link->pos(), QPoint(184, 568));
    const QFontMetrics metrics(link->font());
    EXPECT_GE(link->width(), metrics.horizontalAdvance(link->text()));
    EXPECT_LE(link->width(), metrics.horizontalAdvance(link->text()) + 4);
    EXPECT_GE(link->height(), metrics.height());
    EXPECT_TRUE(window.rect().contains(link->geometry())) << s(link->geometry());

    // 8.25 pt at 96 dpi, underlined, blue.
    EXPECT_EQ(link->font().pixelSize(), 11);
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
}

TEST_F(MainWindowUiTest, LinkLabelsReportALeftClick)
{
    for (app::LinkLabel *link : {ui.Label4, ui.lblurl}) {
        SCOPED_TRACE(s(link->objectName()));
        QSignalSpy clicks(link, &app::LinkLabel::clicked);
        QTest::mouseClick(link, Qt::LeftButton);
        EXPECT_EQ(clicks.count(), 1);
        QTest::mouseClick(link, Qt::RightButton);
        EXPECT_EQ(clicks.count(), 1);
    }
}

TEST_F(MainWindowUiTest, SecondLinkAndItsCaptionLieCoveredUnderFrame3)
{
    EXPECT_EQ(ui.lblurl->text(), QString::fromLatin1(app::kRx903PageUrl));
    EXPECT_TRUE(ui.lblurl->text().endsWith(u("/products/RX903.html")));
    EXPECT_TRUE(ui.lblurl->font().underline());
    for (const char *name : {"Label1(4)", "lblurl"}) {
        SCOPED_TRACE(name);
        QWidget *widget = find(name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), &window);
        EXPECT_TRUE(widget->isVisible());
        EXPECT_TRUE(ui.Frame3->geometry().contains(widget->geometry())) << s(widget->geometry());
        // Whatever is seen there belongs to Frame3.
        QWidget *seen = window.childAt(widget->geometry().center());
        ASSERT_NE(seen, nullptr);
        EXPECT_TRUE(seen == ui.Frame3 || ui.Frame3->isAncestorOf(seen)) << s(seen->objectName());
    }
}

TEST_F(MainWindowUiTest, Frame5RowsRunTopToBottomInOrder)
{
    const std::vector<std::pair<const char *, const char *>> rows{
        {"Label3", "Combo1"},
        {"Label5(2)", "Combo2"},
        {"Label5(0)", "Combo3"},
        {"Label5(1)", "Combo4"},
        {"Label5(3)", "Combo5"},
        {nullptr, "Picture2"},
        {"cmdCom", "Command1"},
        {nullptr, "Label7"},
        {nullptr, "txtCommand"},
        {nullptr, "Label1(0)"},
        {nullptr, "txtState"},
        {nullptr, "Label1(1)"},
        {"lblErrCounter", "lblCounter"},
    };
    int previousBottom = -1;
    for (const auto &[left, right] : rows) {
        SCOPED_TRACE(right);
        QWidget *main = find(right);
        ASSERT_NE(main, nullptr);
        EXPECT_GT(main->y(), previousBottom);
        if (left) {
            QWidget *first = find(left);
            ASSERT_NE(first, nullptr);
            EXPECT_EQ(first->y(), main->y());
            EXPECT_LE(first->geometry().right(), main->x());
        }
        previousBottom = main->geometry().bottom();
    }
}

TEST_F(MainWindowUiTest, CountersStandUnderTheirWordsWithTheSlashBetween)
{
    QLabel *caption = ui.Label1[1];
    QFrame *slash = ui.Line1[0];
    EXPECT_EQ(slash->y(), ui.lblErrCounter->y());
    EXPECT_EQ(ui.lblCounter->y(), ui.lblErrCounter->y());
    EXPECT_LE(ui.lblErrCounter->geometry().right(), slash->x());
    EXPECT_LE(slash->geometry().right(), ui.lblCounter->x());
    EXPECT_EQ(ui.lblErrCounter->alignment(), Qt::AlignCenter);
    EXPECT_EQ(ui.lblCounter->alignment(), Qt::AlignCenter);

    const QFontMetrics metrics(caption->font());
    const int textLeft = caption->x() + caption->contentsRect().left();
    const int slashAt = textLeft + metrics.horizontalAdvance(u("成功接收"));
    const int secondAt = textLeft + metrics.horizontalAdvance(u("成功接收/"));
    const int end = textLeft + metrics.horizontalAdvance(caption->text());
    const auto centre = [](const QWidget *w) { return w->geometry().center().x(); };
    EXPECT_GE(centre(ui.lblErrCounter), textLeft);
    EXPECT_LT(centre(ui.lblErrCounter), slashAt);
    EXPECT_GE(centre(slash), slashAt - 3);
    EXPECT_LE(centre(slash), secondAt + 3);
    EXPECT_GE(centre(ui.lblCounter), secondAt);
    EXPECT_LT(centre(ui.lblCounter), end);
}

TEST_F(MainWindowUiTest, SlashIsDrawnFromLowerLeftToUpperRight)
{
    QFrame *slash = ui.Line1[0];
    QImage image(slash->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    slash->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const auto inkInRow = [&](int y) {
        int sum = 0;
        int count = 0;
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 160) {
                sum += x;
                ++count;
            }
        }
        return count ? sum / count : -1;
    };
    const int top = inkInRow(3);
    const int bottom = inkInRow(image.height() - 3);
    ASSERT_GE(top, 0);
    ASSERT_GE(bottom, 0);
    EXPECT_GT(top, bottom);
}

TEST_F(MainWindowUiTest, ValueRowsAre24PixelsApartWithTheirMembersOnOneLine)
{
    const int firstRow = ui.txtValue[0]->y();
    for (QWidget *widget : controlsIn(ui.Frame3)) {
        if (widget->isVisible()) {
            EXPECT_GE(widget->y(), firstRow) << s(widget->objectName());
        }
    }
    for (std::size_t k = 0; k < kRows.size(); ++k) {
        const ValueRow &row = kRows[k];
        SCOPED_TRACE(k);
        QLineEdit *field = ui.txtValue[k];
        EXPECT_EQ(field->y(), firstRow + 24 * static_cast<int>(k));
        QLabel *name = ui.lblDanWei[static_cast<std::size_t>(row.nameLabel)];
        EXPECT_EQ(name->y(), field->y());
        EXPECT_LE(name->geometry().right(), field->x());
        int rightEdge = field->geometry().right();
        if (row.setButton >= 0) {
            QPushButton *button = ui.cmdSet[static_cast<std::size_t>(row.setButton)];
            EXPECT_EQ(button->y(), field->y());
            EXPECT_GT(button->x(), rightEdge);
            rightEdge = button->geometry().right();
        }
        if (row.hint >= 0) {
            QLabel *hint = ui.Label2[static_cast<std::size_t>(row.hint)];
            EXPECT_EQ(hint->y(), field->y());
            EXPECT_GT(hint->x(), rightEdge);
        }
    }
}

TEST_F(MainWindowUiTest, SeparatorAndQueryRowsFollowRow15)
{
    QFrame *line = ui.Line2;
    EXPECT_EQ(line->frameShape(), QFrame::HLine);
    EXPECT_GT(line->y(), ui.txtValue[14]->geometry().bottom());
    EXPECT_GE(line->width(), ui.Frame3->width() * 9 / 10);

    const std::vector<std::vector<const char *>> rows{
        {"Label8(4)", "txtTimerSet", "comDoOnce", "cmdOneM", "cmdStopOnce"},
        {"Label8(5)", "TXTtype", "Command2"},
    };
    int previousBottom = line->geometry().bottom();
    for (const auto &row : rows) {
        QWidget *first = find(row.front());
        ASSERT_NE(first, nullptr);
        EXPECT_GT(first->y(), previousBottom) << row.front();
        int right = -1;
        for (const char *name : row) {
            QWidget *widget = find(name);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->y(), first->y()) << name;
            EXPECT_GT(widget->x(), right) << name;
            right = widget->geometry().right();
        }
        previousBottom = first->geometry().bottom();
    }
}

TEST_F(MainWindowUiTest, Frame10IsOneRowOfFourCaptionedFields)
{
    const std::vector<const char *> order{"Label8(0)", "txtStationID", "Label8(3)",
                                          "txtFunID",  "Label8(1)",    "txtStartID",
                                          "Label8(2)", "txtDataLength"};
    int right = -1;
    const int y = find(order.front())->y();
    for (const char *name : order) {
        QWidget *widget = find(name);
        EXPECT_EQ(widget->y(), y) << name;
        EXPECT_GT(widget->x(), right) << name;
        right = widget->geometry().right();
    }
}

// The address fields sit in the blank runs of "将地址      修改为  ": none may cover a
// character of the label, and each follows its words.
TEST_F(MainWindowUiTest, AddressFieldsFillTheBlankRunsOfTheirLabel)
{
    QLabel *label = ui.Label2[7];
    QImage image(label->size(), QImage::Format_ARGB32);
    label->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    std::vector<int> inkColumns;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                inkColumns.push_back(label->x() + x);
                break;
            }
        }
    }
    ASSERT_FALSE(inkColumns.empty());

    // Split the ink into the two words: the widest gap between ink columns.
    std::size_t gapAt = 0;
    for (std::size_t i = 1; i < inkColumns.size(); ++i)
        if (inkColumns[i] - inkColumns[i - 1] > inkColumns[gapAt + 1] - inkColumns[gapAt])
            gapAt = i - 1;
    const int firstWordEnd = inkColumns[gapAt];
    const int secondWordStart = inkColumns[gapAt + 1];
    const int secondWordEnd = inkColumns.back();

    QLineEdit *present = ui.txtSetID[0];
    QLineEdit *next = ui.txtSetID[1];
    EXPECT_EQ(present->y(), label->y());
    EXPECT_EQ(next->y(), label->y());
    EXPECT_GT(present->x(), firstWordEnd);
    EXPECT_LT(present->geometry().right(), secondWordStart);
    EXPECT_GT(next->x(), secondWordEnd);
    // Wide enough for a bus address of three digits.
    for (QLineEdit *field : {present, next})
        EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(u("247")) + 12);

    EXPECT_GT(ui.cmdReadAdd->x(), next->geometry().right());
    EXPECT_GT(ui.cmdChangeID->x(), ui.cmdReadAdd->geometry().right());
    EXPECT_EQ(ui.cmdReadAdd->y(), ui.cmdChangeID->y());
}

TEST_F(MainWindowUiTest, OnlyTheListedControlsAreHiddenAndTheyStayHidden)
{
    for (QWidget *container : containers()) {
        for (QWidget *widget : controlsIn(container)) {
            const QString name = widget->objectName();
            SCOPED_TRACE(s(name));
            const bool hidden = hiddenControls().count(name) != 0;
            EXPECT_EQ(widget->isHidden(), hidden);
            EXPECT_EQ(widget->isVisible(), !hidden);
            EXPECT_EQ(widget->isEnabled(), name != u("lblDanWei(15)"));
        }
    }
    // Showing the window again shows none of them.
    window.hide();
    window.show();
    for (const QString &name : hiddenControls())
        EXPECT_FALSE(find(name)->isVisible()) << s(name);
}

TEST_F(MainWindowUiTest, HiddenControlsArePlacedAsDesigned)
{
    const QRect frame3 = ui.Frame3->rect();
    for (const char *name : {"lblDanWei(15)", "Label2(0)", "Label2(2)", "Label2(6)"}) {
        QWidget *widget = find(name);
        EXPECT_FALSE(frame3.intersects(widget->geometry())) << name;
    }
    QLabel *unit = ui.lblDanWei[3];
    EXPECT_EQ(unit->y(), ui.txtValue[0]->y());
    EXPECT_GT(unit->x(), ui.txtValue[0]->geometry().right());
    EXPECT_EQ(ui.cmdSet[6]->y(), ui.txtValue[9]->y());
    for (const char *name : {"lblDanWei(3)", "lblDanWei(15)"})
        EXPECT_EQ(find(name)->palette().color(QPalette::WindowText), QColor(Qt::red)) << name;
}

TEST_F(MainWindowUiTest, RedLampIsInFrontOfTheStack)
{
    QWidget *holder = ui.Picture2;
    std::vector<QLabel *> stack;
    for (QObject *child : holder->children())
        if (auto *lamp = qobject_cast<QLabel *>(child))
            stack.push_back(lamp);
    // Children are kept bottom to top.
    ASSERT_EQ(stack.size(), 3U);
    EXPECT_EQ(stack[0], ui.imgConnected);
    EXPECT_EQ(stack[1], ui.ImgYellow);
    EXPECT_EQ(stack[2], ui.imgNotConnected);
    EXPECT_EQ(holder->childAt(ui.imgNotConnected->geometry().center()), ui.imgNotConnected);

    for (QLabel *lamp : stack) {
        SCOPED_TRACE(s(lamp->objectName()));
        EXPECT_EQ(lamp->geometry(), ui.imgNotConnected->geometry());
        EXPECT_EQ(lamp->size(), QSize(16, 16));
        EXPECT_TRUE(holder->rect().contains(lamp->geometry()));
        EXPECT_FALSE(lamp->pixmap().isNull());
        EXPECT_EQ(lamp->toolTip(), u("数据采集通讯状态指示"));
        EXPECT_TRUE(lamp->isVisible());
    }
    EXPECT_EQ(holder->accessibleName(), u("数据采集通讯状态指示"));
    EXPECT_EQ(holder->accessibleDescription(), u("红灯"));
}

TEST_F(MainWindowUiTest, FieldsAndListsHaveTheirCaptionsAsBuddies)
{
    const std::vector<std::pair<const char *, const char *>> buddies{
        {"Label3", "Combo1"},      {"Label5(2)", "Combo2"},     {"Label5(0)", "Combo3"},
        {"Label5(1)", "Combo4"},   {"Label5(3)", "Combo5"},     {"Label8(0)", "txtStationID"},
        {"Label8(3)", "txtFunID"}, {"Label8(1)", "txtStartID"}, {"Label8(2)", "txtDataLength"},
        {"Label7", "txtCommand"},  {"Label1(0)", "txtState"},   {"Label8(4)", "txtTimerSet"},
        {"Label8(5)", "TXTtype"},
    };
    for (const auto &[caption, field] : buddies) {
        SCOPED_TRACE(field);
        auto *label = find<QLabel>(caption);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->buddy(), find(field));
    }
    for (std::size_t k = 0; k < kRows.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(ui.lblDanWei[static_cast<std::size_t>(kRows[k].nameLabel)]->buddy(),
                  ui.txtValue[k]);
    }
}

TEST_F(MainWindowUiTest, TextFieldsAreNamedByTheirCaptions)
{
    std::vector<std::pair<QString, const char *>> names{
        {u("txtStationID"), "设备地址"},    {u("txtFunID"), "功 能 码"},
        {u("txtStartID"), "超始地址"},      {u("txtDataLength"), "数据长度"},
        {u("txtSetID(0)"), "将地址"},       {u("txtSetID(1)"), "修改为"},
        {u("txtCommand"), "串口发送数据"},  {u("txtState"), "串口接收数据"},
        {u("txtTimerSet"), "定时时长(ms)"}, {u("TXTtype"), "设备信息"},
    };
    for (std::size_t k = 0; k < kRows.size(); ++k)
        names.emplace_back(member("txtValue", static_cast<int>(k)), kRows[k].name);
    for (const auto &[field, name] : names) {
        SCOPED_TRACE(s(field));
        QWidget *widget = find(field);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(s(widget->accessibleName()), name);
        // What an assistive tool is told.
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(s(accessible->text(QAccessible::Name)), name);
    }
}

TEST_F(MainWindowUiTest, SetButtonsAreNamedAfterTheirRows)
{
    for (std::size_t k = 3; k < kRows.size(); ++k) {
        const ValueRow &row = kRows[k];
        QPushButton *button = ui.cmdSet[static_cast<std::size_t>(row.setButton)];
        if (button->isHidden())
            continue;
        EXPECT_EQ(button->text(), u("设置"));
        EXPECT_EQ(s(button->accessibleName()), std::string("设置 ") + row.name);
    }
}

TEST_F(MainWindowUiTest, CountersKeepTheirCountAsNameAndDescribeWhatTheyCount)
{
    EXPECT_TRUE(ui.lblErrCounter->accessibleName().isEmpty());
    EXPECT_TRUE(ui.lblCounter->accessibleName().isEmpty());
    EXPECT_EQ(ui.lblErrCounter->accessibleDescription(), u("成功接收"));
    EXPECT_EQ(ui.lblCounter->accessibleDescription(), u("循环 计数"));
}

TEST_F(MainWindowUiTest, GroupBoxesAreKnownByTheirCaptions)
{
    for (QGroupBox *group : {ui.Frame5, ui.Frame10, ui.Frame12, ui.Frame3}) {
        SCOPED_TRACE(s(group->objectName()));
        EXPECT_TRUE(group->accessibleName().isEmpty());
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(group);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), group->title());
    }
}

TEST_F(MainWindowUiTest, CombosHoldTheirDesignLists)
{
    QStringList ports;
    for (int port = 1; port <= 25; ++port)
        ports << QStringLiteral("COM%1").arg(port);
    const std::vector<std::tuple<QComboBox *, QStringList, QString>> lists{
        {ui.Combo1, ports, u("COM4")},           {ui.Combo2, {u("9600"), u("19200")}, u("9600")},
        {ui.Combo3, {u("无校验")}, u("无校验")}, {ui.Combo4, {u("8")}, u("8")},
        {ui.Combo5, {u("1")}, u("1")},
    };
    for (const auto &[combo, entries, current] : lists) {
        SCOPED_TRACE(s(combo->objectName()));
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        EXPECT_EQ(shown, entries);
        EXPECT_EQ(combo->currentText(), current);
        EXPECT_EQ(combo->itemText(combo->currentIndex()), current);
        EXPECT_TRUE(combo->isEditable());
        EXPECT_EQ(combo->insertPolicy(), QComboBox::NoInsert);
    }
}

TEST_F(MainWindowUiTest, TypingIntoAComboSelectsAndAddsNothing)
{
    for (QComboBox *combo : {ui.Combo1, ui.Combo2}) {
        SCOPED_TRACE(s(combo->objectName()));
        const int index = combo->currentIndex();
        const int count = combo->count();
        QSignalSpy activated(combo, &QComboBox::activated);
        QSignalSpy changed(combo, &QComboBox::currentIndexChanged);
        const QString typed = combo->itemText(1);

        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        // Leaving the field ends the editing as well.
        emit combo->lineEdit()->editingFinished();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), u("COM99"));
        QTest::keyClick(combo->lineEdit(), Qt::Key_Enter);

        EXPECT_EQ(combo->currentIndex(), index);
        EXPECT_EQ(combo->count(), count);
        EXPECT_EQ(activated.count(), 0);
        EXPECT_EQ(changed.count(), 0);
        EXPECT_EQ(combo->currentText(), u("COM99"));
    }
}

TEST_F(MainWindowUiTest, DataBoxesWrapAndAreTwoAndFourLinesHigh)
{
    const std::vector<std::pair<QPlainTextEdit *, int>> boxes{{ui.txtCommand, 2}, {ui.txtState, 4}};
    for (const auto &[box, lines] : boxes) {
        SCOPED_TRACE(s(box->objectName()));
        EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_FALSE(box->isReadOnly());
        const int lineHeight = box->fontMetrics().lineSpacing();
        const int usable =
            box->viewport()->height() - 2 * static_cast<int>(box->document()->documentMargin());
        EXPECT_GE(usable, lines * lineHeight);
        EXPECT_LT(usable, lines * lineHeight + lineHeight / 2);

        // A frame text longer than a line continues on the next line, not out of sight.
        box->setPlainText(u("01 03 00 00 00 0F 05 CE 01 03 00 00 00 0F 05 CE"));
        const QTextBlock block = box->document()->firstBlock();
        EXPECT_GT(box->document()->documentLayout()->blockBoundingRect(block).height(),
                  1.5 * lineHeight);
    }
}

TEST_F(MainWindowUiTest, VisibleControlsDoNotOverlap)
{
    const auto mayOverlap = [&](const QWidget *a, const QWidget *b) {
        const auto is = [](const QWidget *w, const char *name) {
            return w->objectName() == QLatin1String(name);
        };
        // Covered by Frame3 by design, checked on their own above.
        for (const QWidget *w : {a, b})
            if (is(w, "Label1(4)") || is(w, "lblurl"))
                return true;
        // The address fields lie over the label's blank runs, checked on their own above.
        const auto addressPair = [&](const QWidget *x, const QWidget *y) {
            return is(x, "Label2(7)") && (is(y, "txtSetID(0)") || is(y, "txtSetID(1)"));
        };
        return addressPair(a, b) || addressPair(b, a);
    };
    for (QWidget *container : containers()) {
        std::vector<QWidget *> visible;
        for (QWidget *widget : controlsIn(container))
            if (widget->isVisible())
                visible.push_back(widget);
        for (std::size_t i = 0; i < visible.size(); ++i) {
            for (std::size_t j = i + 1; j < visible.size(); ++j) {
                if (mayOverlap(visible[i], visible[j]))
                    continue;
                EXPECT_FALSE(visible[i]->geometry().intersects(visible[j]->geometry()))
                    << s(visible[i]->objectName()) << s(visible[i]->geometry()) << " and "
                    << s(visible[j]->objectName()) << s(visible[j]->geometry());
            }
        }
    }
}

TEST_F(MainWindowUiTest, VisibleControlsLieInsideTheirGroupsBelowTheCaption)
{
    for (QWidget *container : containers()) {
        QRect inside = container->rect();
        if (auto *group = qobject_cast<QGroupBox *>(container)) {
            QStyleOptionGroupBox option;
            option.initFrom(group);
            option.text = group->title();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect caption = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                                 QStyle::SC_GroupBoxLabel, group);
            inside.adjust(2, caption.bottom() + 1, -2, -2);
        }
        for (QWidget *widget : controlsIn(container)) {
            if (!widget->isVisible())
                continue;
            EXPECT_TRUE(inside.contains(widget->geometry()))
                << s(widget->objectName()) << s(widget->geometry()) << " in " << s(inside);
        }
    }
}

TEST_F(MainWindowUiTest, VisibleTextsFitTheirControls)
{
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        SCOPED_TRACE(s(label->objectName()));
        const QFontMetrics metrics(label->font());
        const QRect area = label->contentsRect();
        EXPECT_LE(metrics.horizontalAdvance(label->text()), area.width());
        EXPECT_LE(metrics.tightBoundingRect(label->text()).height(), area.height());
    }
    for (QPushButton *button : window.findChildren<QPushButton *>()) {
        if (!button->isVisible())
            continue;
        SCOPED_TRACE(s(button->objectName()));
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 2 * margin,
                  button->width());
        EXPECT_LE(button->fontMetrics().height(), button->height() - 4);
    }
    for (QGroupBox *group : window.findChildren<QGroupBox *>()) {
        SCOPED_TRACE(s(group->objectName()));
        EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()) + 16, group->width());
    }
    for (QLineEdit *field : window.findChildren<QLineEdit *>()) {
        if (!field->isVisible())
            continue;
        SCOPED_TRACE(s(field->objectName()));
        // A line of text fits between the field's frames (a combo box's field has none).
        const int frame =
            field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        EXPECT_GE(field->height() - 2 * frame, field->fontMetrics().height());
    }
}

TEST_F(MainWindowUiTest, SurfacesAreGreyAndHintsRed)
{
    const QColor grey(224, 224, 224);
    EXPECT_EQ(window.palette().color(QPalette::Window), grey);
    EXPECT_TRUE(window.autoFillBackground());
    for (QGroupBox *group : {ui.Frame5, ui.Frame10, ui.Frame12, ui.Frame3}) {
        EXPECT_EQ(group->palette().color(QPalette::Window), grey);
        EXPECT_TRUE(group->autoFillBackground());
    }
    // Labels are transparent and so show the grey surface they lie on.
    for (QLabel *label : window.findChildren<QLabel *>()) {
        EXPECT_FALSE(label->autoFillBackground()) << s(label->objectName());
        EXPECT_EQ(label->palette().color(QPalette::Window), grey) << s(label->objectName());
    }

    std::vector<QLabel *> red{ui.Label1[2]};
    for (std::size_t i = 0; i < ui.Label2.size(); ++i)
        if (i != 7)
            red.push_back(ui.Label2[i]);
    for (QLabel *label : red)
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::red))
            << s(label->objectName());

    for (const ValueRow &row : kRows) {
        QLabel *name = ui.lblDanWei[static_cast<std::size_t>(row.nameLabel)];
        EXPECT_EQ(name->palette().color(QPalette::WindowText), QColor(Qt::black)) << row.name;
    }
}

// Writes the window's picture for looking at the layout; fails only if it cannot be drawn.
TEST_F(MainWindowUiTest, RendersAPreviewOfTheLayout)
{
    const QImage image = window.grab().toImage();
    EXPECT_EQ(image.size(), QSize(668, 589) * window.devicePixelRatio());
    EXPECT_TRUE(image.save(QStringLiteral(RX904_LAYOUT_PREVIEW)));
}

} // namespace
