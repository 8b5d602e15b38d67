#include "app/lamp_pixmaps.h"

#include <QImage>

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct LampCase
{
    app::Lamp lamp;
    const char *name;
    bool redLit;
    bool greenLit;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LampCase &lampCase, std::ostream *out)
{
    *out << lampCase.name;
}

class LampPixmapTest : public ::testing::TestWithParam<LampCase>
{
};

TEST_P(LampPixmapTest, IsARoundLampOfItsColourOnTransparentGround)
{
    const LampCase &lampCase = GetParam();
    const QPixmap pixmap = app::lampPixmap(lampCase.lamp);
    ASSERT_FALSE(pixmap.isNull());
    EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), QSize(16, 16));

    const QImage image = pixmap.toImage();
    for (const QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)})
        EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << "corner " << corner.x() << "," << corner.y();

    // Sampled below the light spot, where the lamp shows its own colour.
    const QColor body = image.pixelColor(9, 10);
    EXPECT_EQ(body.alpha(), 255);
    EXPECT_LT(body.blue(), 90);
    EXPECT_EQ(body.red() > 150, lampCase.redLit) << body.name().toStdString();
    EXPECT_EQ(body.green() > 150, lampCase.greenLit) << body.name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Lamps, LampPixmapTest,
                         ::testing::Values(LampCase{app::Lamp::imgNotConnected, "Red", true, false},
                                           LampCase{app::Lamp::ImgYellow, "Yellow", true, true},
                                           LampCase{app::Lamp::imgConnected, "Green", false, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(LampPixmap, KeepsItsSizeOnScaledScreens)
{
    const QPixmap pixmap = app::lampPixmap(app::Lamp::imgConnected, 2.0);
    EXPECT_EQ(pixmap.size(), QSize(32, 32));
    EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), QSize(16, 16));
}

TEST(WindowIcon, OffersTheCommonSizes)
{
    const QIcon icon = app::windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int side : {16, 32, 48}) {
        const QImage image = icon.pixmap(side, side).toImage();
        EXPECT_EQ(image.size(), QSize(side, side));
        // Drawn, not blank: the centre is opaque.
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255) << side;
    }
}

} // namespace
