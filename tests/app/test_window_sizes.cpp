// Every window of the tool fits the screen it is shown on, at the scale the desktop sets, and
// every text fits its place in either language: run once per row of CMake's table, each with
// its own scale, screen and language, as those are fixed when the application starts.
#include "app/configuration_window.h"
#include "app/frm_main.h"
#include "app/help_window.h"
#include "app/monitor_window.h"
#include "app/window_fit.h"
#include "modbus/exception_codes.h"
#include "operations/messages.h"
#include "support/fake_form.h"
#include "support/fake_serial_control.h"
#include "translations/device_texts.h"
#include "translations/language.h"
#include "values/messages.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

double g_scale = 1.0;
bool g_english = false;

// The window fits below a title bar, and its buttons lie inside it.
void expectFits(QWidget &window, int titleBarPixels = app::kTitleBarPixels)
{
    window.show();
    QCoreApplication::processEvents();
    const QRect screen = window.screen()->availableGeometry();
    const QSize room(screen.width(), screen.height() - qCeil(titleBarPixels / g_scale));
    EXPECT_LE(window.width(), room.width()) << window.objectName().toStdString();
    EXPECT_LE(window.height(), room.height())
        << window.objectName().toStdString() << " needs " << window.height() << " of "
        << room.height() << " at scale " << g_scale;
    for (const QPushButton *button : window.findChildren<QPushButton *>()) {
        if (!button->isVisibleTo(&window))
            continue;
        const QRect at(button->mapTo(&window, QPoint(0, 0)), button->size());
        EXPECT_TRUE(QRect(QPoint(0, 0), window.size()).contains(at))
            << button->objectName().toStdString() << " of " << window.objectName().toStdString();
    }
}

TEST(WindowSizes, EveryWindowFitsTheScreen)
{
    testing_support::FakeSerialControl port;
    testing_support::FakeMessageBox messages;
    app::frmMain window(port, messages);
    // Its 668 x 589 are fixed by design: at 125 % on 768 lines that leaves 32 for the title
    // bar (the taskbar covers the window's lowest lines, as it does that of the program this
    // window reproduces).
    expectFits(window, 0);
    window.openTrafficMonitor();
    ASSERT_NE(window.trafficMonitorWindow(), nullptr);
    expectFits(*window.trafficMonitorWindow());
    app::ConfigurationWindow configuration(nullptr, {}, {}, &window);
    expectFits(configuration);
    app::HelpWindow help(&window);
    expectFits(help);
}

// The tool's windows as a user opens them; the monitor and configuration windows are children
// of the main window.
struct Windows
{
    testing_support::FakeSerialControl port;
    testing_support::FakeMessageBox messages;
    app::frmMain main{port, messages};
    app::ConfigurationWindow configuration{nullptr, {}, {}, &main};
    app::HelpWindow help{&main};

    Windows()
    {
        main.openTrafficMonitor();
        for (QWidget *window : all())
            window->show();
        QCoreApplication::processEvents();
    }
    std::vector<QWidget *> all()
    {
        std::vector<QWidget *> windows{&main, &configuration, &help};
        if (main.trafficMonitorWindow())
            windows.push_back(main.trafficMonitorWindow());
        return windows;
    }
};

std::string where(const QWidget &widget)
{
    return (widget.window()->objectName() + QLatin1Char('/') + widget.objectName()).toStdString();
}

int widestLine(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

// The room a widget leaves for its text, or -1 where it has no single-line text to check
// (wrapped and rich-text labels lay themselves out).
std::pair<QString, int> textAndRoom(QWidget &widget)
{
    QStyle *style = widget.style();
    if (auto *label = qobject_cast<QLabel *>(&widget)) {
        if (label->wordWrap() || Qt::mightBeRichText(label->text()) || !label->pixmap().isNull())
            return {{}, -1};
        return {label->text(), label->contentsRect().width() - 2 * label->margin()};
    }
    if (qobject_cast<QCheckBox *>(&widget) || qobject_cast<QRadioButton *>(&widget)) {
        auto *button = static_cast<QAbstractButton *>(&widget);
        return {button->text(), button->width() - style->pixelMetric(QStyle::PM_IndicatorWidth) -
                                    style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing)};
    }
    if (auto *button = qobject_cast<QPushButton *>(&widget)) {
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return {button->text(), button->width() - 2 * frame - 4};
    }
    if (auto *group = qobject_cast<QGroupBox *>(&widget))
        return {group->title(), group->width() - 8};
    if (auto *combo = qobject_cast<QComboBox *>(&widget))
        return {combo->currentText(),
                combo->width() - style->pixelMetric(QStyle::PM_ScrollBarExtent) - 6};
    return {{}, -1};
}

TEST(WindowTexts, EveryTextFitsItsPlace)
{
    Windows windows;
    for (QWidget *window : windows.all()) {
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            if (!widget->isVisibleTo(window))
                continue;
            const auto [text, room] = textAndRoom(*widget);
            if (room >= 0 && !text.isEmpty()) {
                EXPECT_LE(widestLine(widget->fontMetrics(), text), room)
                    << where(*widget) << ": \"" << text.toStdString() << "\"";
            }
        }
        for (QTabBar *tabs : window->findChildren<QTabBar *>())
            for (int i = 0; i < tabs->count(); ++i)
                EXPECT_LE(tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)),
                          tabs->tabRect(i).width())
                    << where(*tabs) << ": \"" << tabs->tabText(i).toStdString() << "\"";
        for (QHeaderView *header : window->findChildren<QHeaderView *>()) {
            if (!header->isVisibleTo(window) || header->orientation() != Qt::Horizontal)
                continue;
            for (int i = 0; i < header->count(); ++i) {
                const QString text =
                    header->model()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
                if (!header->isSectionHidden(i)) {
                    EXPECT_LE(header->fontMetrics().horizontalAdvance(text) +
                                  2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin),
                              header->sectionSize(i))
                        << where(*header) << ": \"" << text.toStdString() << "\"";
                }
            }
        }
    }
}

bool hasChinese(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF) ||
               (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF);
    });
}

// Every text a widget can show or tell a screen reader.
QStringList textsOf(QWidget &widget)
{
    QStringList texts{widget.toolTip(), widget.accessibleName(), widget.accessibleDescription(),
                      widget.whatsThis(), widget.statusTip()};
    if (widget.isWindow())
        texts << widget.windowTitle();
    texts << textAndRoom(widget).first;
    if (auto *label = qobject_cast<QLabel *>(&widget))
        texts << label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(&widget))
        texts << button->text();
    if (auto *field = qobject_cast<QLineEdit *>(&widget))
        texts << field->text() << field->placeholderText();
    if (auto *box = qobject_cast<QPlainTextEdit *>(&widget))
        texts << box->toPlainText();
    if (auto *box = qobject_cast<QTextEdit *>(&widget))
        texts << box->toPlainText();
    if (auto *combo = qobject_cast<QComboBox *>(&widget))
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    if (auto *tabs = qobject_cast<QTabBar *>(&widget))
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i) << tabs->tabToolTip(i);
    if (auto *view = qobject_cast<QAbstractItemView *>(&widget); view && view->model()) {
        const QAbstractItemModel &model = *view->model();
        for (int column = 0; column < model.columnCount(); ++column)
            texts << model.headerData(column, Qt::Horizontal).toString();
        for (int row = 0; row < model.rowCount(); ++row)
            for (int column = 0; column < model.columnCount(); ++column)
                for (const int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole)})
                    texts << model.index(row, column).data(role).toString();
    }
    for (const QAction *action : widget.actions())
        texts << action->text() << action->toolTip();
    return texts;
}

TEST(WindowTexts, EnglishLeavesNoChineseText)
{
    if (!g_english)
        GTEST_SKIP() << "the windows are in Chinese in this row";
    Windows windows;
    for (QWidget *window : windows.all()) {
        QList<QWidget *> widgets = window->findChildren<QWidget *>();
        widgets.prepend(window);
        for (QWidget *widget : widgets)
            for (const QString &text : textsOf(*widget))
                EXPECT_FALSE(hasChinese(text)) << where(*widget) << ": " << text.toStdString();
    }
    // The texts the windows give in message boxes and the monitor's meanings.
    QStringList messages;
    for (const char *text : {ops::text::kAppTitle,          ops::text::kPortOpenFailedTitle,
                             ops::text::kPortOpenFailed,    ops::text::kSelectPort,
                             ops::text::kBadStation,        ops::text::kBadFunction,
                             ops::text::kBadDataLength,     ops::text::kBadStart,
                             ops::text::kDataLengthRange,   ops::text::kPortClosed,
                             ops::text::kRefused,           ops::text::kBadPeriod,
                             ops::text::kPeriodRange,       ops::text::kBadSourceAddress,
                             ops::text::kBadTargetAddress,  ops::text::kAddressAbove250,
                             values::text::kBadValue,       values::text::kControlModeRange,
                             values::text::kBaudRateValues, values::text::kSignedRegisterRange,
                             values::text::kRegisterRange,  values::text::kAddressZero})
        messages << i18n::message(text);
    for (int code = 1; code <= 12; ++code)
        messages << i18n::exceptionText(code);
    for (const modbus::RegisterRow &row : modbus::registerMap())
        messages << i18n::caption(row) << i18n::hint(row);
    for (const QString &text : messages)
        EXPECT_FALSE(hasChinese(text)) << text.toStdString();
}

} // namespace

// test_window_sizes SCALE WIDTHxHEIGHT [zh|en]: the desktop's scale, its screen in pixels and
// the language of the windows.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir folder;
    QString screen = QStringLiteral("1366x768");
    if (argc >= 3) {
        g_scale = QString::fromLatin1(argv[1]).toDouble();
        screen = QString::fromLatin1(argv[2]);
    }
    const QStringList size = screen.split(QLatin1Char('x'));
    QFile config(folder.filePath(QStringLiteral("screen.json")));
    if (size.size() != 2 || !config.open(QIODevice::WriteOnly))
        return 2;
    config.write(QStringLiteral(R"({"screens": [{"name": "screen", "x": 0, "y": 0,
        "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                     .arg(size[0], size[1])
                     .toUtf8());
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", QByteArray::number(g_scale));
    QApplication application(argc, argv);
    g_english = argc >= 4 && QByteArray(argv[3]) == "en";
    i18n::installTranslations(g_english ? i18n::Language::English : i18n::Language::Chinese);
    return RUN_ALL_TESTS();
}
