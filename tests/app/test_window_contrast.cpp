#include "app/main_window_ui.h"

#include <QApplication>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QTransform>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <ostream>
#include <vector>

namespace {

// WCAG 2 relative luminance of an sRGB colour.
double luminance(QRgb rgb)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

double contrastRatio(QRgb a, QRgb b)
{
    // std::minmax of two temporaries would hand back references to them.
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// WCAG's contrast for normal text.
constexpr double kTextContrast = 4.5;
// The range hints and the caption before the product link are red by design: red on the
// window's grey (224) gives 3.03:1, and Fusion shades the inside of a group box to 221, which
// leaves 2.94:1. A theme that darkens the surface under them drops far below that.
constexpr double kRedTextContrast = 2.9;

struct Reading
{
    QRgb surface;
    QRgb text;
    double ratio;
};

// The surface is the commonest colour of the area, the text the pixel furthest from it in
// luminance: the core of a glyph stroke, where antialiasing does not blend it with the surface.
std::optional<Reading> measure(const QImage &image, const QRegion &area)
{
    QHash<QRgb, int> counts;
    for (const QRect &rect : area)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                ++counts[image.pixel(x, y) | 0xff000000u];
    if (counts.isEmpty())
        return std::nullopt;
    QRgb surface = counts.begin().key();
    for (auto it = counts.begin(); it != counts.end(); ++it)
        if (it.value() > counts.value(surface))
            surface = it.key();
    QRgb text = surface;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        if (std::abs(luminance(it.key()) - luminance(surface)) >
            std::abs(luminance(text) - luminance(surface)))
            text = it.key();
    return Reading{surface, text, contrastRatio(surface, text)};
}

QString hex(QRgb rgb)
{
    return QColor(rgb).name();
}

// Fusion with the dark colours a dark desktop hands to Qt programs.
QPalette darkPalette()
{
    QPalette palette;
    const QColor window(53, 53, 53);
    const QColor light(230, 230, 230);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, light);
    palette.setColor(QPalette::Base, QColor(35, 35, 35));
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, light);
    palette.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, light);
    palette.setColor(QPalette::BrightText, Qt::red);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, light);
    palette.setColor(QPalette::Link, QColor(42, 130, 218));
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
    return palette;
}

struct Theme
{
    const char *name;
    const char *style;     // nullptr: the style the application starts with
    QPalette (*palette)(); // nullptr: the style's own palette
};

void PrintTo(const Theme &theme, std::ostream *out)
{
    *out << theme.name;
}

// adwaita-qt6 provides the Adwaita-Dark style; scripts/install-deps.sh installs it.
const Theme kThemes[] = {
    {"Default", nullptr, nullptr},
    {"FusionDark", "Fusion", darkPalette},
    {"AdwaitaDark", "Adwaita-Dark", nullptr},
};

class WindowContrastTest : public ::testing::TestWithParam<Theme>
{
protected:
    void SetUp() override
    {
        m_startStyle = QApplication::style()->name();
        m_startPalette = QApplication::palette();
        const Theme &theme = GetParam();
        if (theme.style) {
            QStyle *style = QStyleFactory::create(QLatin1String(theme.style));
            ASSERT_NE(style, nullptr) << theme.style << " is not installed";
            QApplication::setStyle(style);
            QApplication::setPalette(theme.palette ? theme.palette() : style->standardPalette());
        }
    }

    void TearDown() override
    {
        QApplication::setStyle(QStyleFactory::create(m_startStyle));
        QApplication::setPalette(m_startPalette);
    }

private:
    QString m_startStyle;
    QPalette m_startPalette;
};

// Where a control draws its text, in window coordinates.
QRect textArea(QWidget *control, const QWidget *window)
{
    const QRect area(control->mapTo(window, QPoint(0, 0)), control->size());
    if (auto *group = qobject_cast<QGroupBox *>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.textAlignment = group->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect caption = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                             QStyle::SC_GroupBoxLabel, group);
        return caption.translated(area.topLeft());
    }
    // A button's frame is no part of its text's surface.
    if (qobject_cast<QPushButton *>(control))
        return area.adjusted(4, 3, -4, -3);
    return area;
}

TEST_P(WindowContrastTest, EveryTextStandsOutFromItsSurface)
{
    QWidget window;
    app::MainWindowUi ui;
    ui.setupUi(&window);
    window.show();
    // Drawn as the operator sees it while working in it; some themes dim inactive windows.
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(window.isActiveWindow());
    const QImage image = window.grab().toImage();
    const QTransform toImage =
        QTransform::fromScale(image.devicePixelRatio(), image.devicePixelRatio());
    const QList<QWidget *> widgets = window.findChildren<QWidget *>();

    std::vector<QWidget *> controls;
    for (QWidget *widget : widgets) {
        const auto *label = qobject_cast<QLabel *>(widget);
        const auto *button = qobject_cast<QPushButton *>(widget);
        const bool hasText = (label && !label->text().isEmpty()) ||
                             (button && !button->text().isEmpty()) ||
                             qobject_cast<QGroupBox *>(widget);
        if (hasText && widget->isVisible())
            controls.push_back(widget);
    }

    int measured = 0;
    for (QWidget *control : controls) {
        // Only what is seen counts: whatever else lies on the area, a field in a blank run of
        // "将地址      修改为  " or Frame3 above the labels it covers, is left out.
        QRegion area = textArea(control, &window);
        for (const QWidget *other : widgets) {
            if (other != control && other->isVisible() && !other->isAncestorOf(control) &&
                !control->isAncestorOf(other))
                area -= QRect(other->mapTo(&window, QPoint(0, 0)), other->size());
        }
        const std::optional<Reading> reading = measure(image, toImage.map(area));
        if (!reading)
            continue;
        ++measured;
        const bool red = qobject_cast<QLabel *>(control) &&
                         control->palette().color(QPalette::WindowText) == QColor(Qt::red);
        EXPECT_GE(reading->ratio, red ? kRedTextContrast : kTextContrast)
            << control->objectName().toStdString() << ": text " << hex(reading->text).toStdString()
            << " on " << hex(reading->surface).toStdString();
    }
    // Every visible label, caption and button but the two that Frame3 covers.
    EXPECT_EQ(measured, static_cast<int>(controls.size()) - 2);
}

INSTANTIATE_TEST_SUITE_P(Themes, WindowContrastTest, ::testing::ValuesIn(kThemes),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
