#include "app/cached_group_box.h"

#include <QApplication>
#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

constexpr QSize kBoxSize(161, 393);

// A QGroupBox and a CachedGroupBox side by side in one window, made and changed alike, each
// at a place of its own so that nothing depends on where a box lies.
struct Boxes
{
    QWidget window;
    QGroupBox *plain = nullptr;
    app::CachedGroupBox *cached = nullptr;

    Boxes()
    {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(236, 233, 216));
        window.setPalette(palette);
        plain = new QGroupBox(QString::fromUtf8("串口设置"), &window);
        cached = new app::CachedGroupBox(QString::fromUtf8("串口设置"), &window);
        plain->move(0, 8);
        cached->move(171, 3);
        for (QGroupBox *box : both()) {
            box->setAutoFillBackground(true);
            QFont font = box->font();
            font.setPixelSize(13);
            box->setFont(font);
            box->resize(kBoxSize);
        }
        window.resize(340, 410);
        window.show();
        settle();
    }

    std::vector<QGroupBox *> both() const { return {plain, cached}; }

    // The repaint, then the picture made after it.
    static void settle()
    {
        for (int round = 0; round < 3; ++round)
            QCoreApplication::processEvents();
    }
};

int differingPixels(const QImage &expected, const QImage &seen)
{
    if (expected.size() != seen.size())
        return expected.width() * expected.height();
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            differing += expected.pixel(x, y) != seen.pixel(x, y) ? 1 : 0;
    return differing;
}

// The window as painted, in whole and in the parts a child's repaint asks for: across the
// title, the frame's corners and edges, and inside.
void expectSamePicture(Boxes &boxes)
{
    const QRect whole(QPoint(0, 0), boxes.plain->size());
    for (QRect part : {whole, QRect(0, 0, 80, 24), QRect(5, 369, 46, 17), QRect(70, 142, 20, 20),
                       QRect(150, 380, 11, 13), QRect(0, 100, 4, 200), QRect(8, 272, 145, 76)}) {
        part = part.intersected(whole);
        const QImage expected = boxes.window.grab(part.translated(boxes.plain->pos())).toImage();
        const QImage seen = boxes.window.grab(part.translated(boxes.cached->pos())).toImage();
        EXPECT_EQ(differingPixels(expected, seen), 0)
            << "in " << part.x() << "," << part.y() << " " << part.width() << "x" << part.height();
    }
}

struct Change
{
    const char *name;
    std::function<void(QGroupBox *)> apply;
    bool keepsPicture; // the box is still drawn from a picture afterwards
};

void PrintTo(const Change &change, std::ostream *out)
{
    *out << change.name;
}

class CachedGroupBoxTest : public ::testing::TestWithParam<Change>
{
};

TEST_P(CachedGroupBoxTest, ShowsTheSamePixelsAsAGroupBoxBeforeAndAfterAChange)
{
    Boxes boxes;
    ASSERT_TRUE(boxes.cached->hasPicture());
    expectSamePicture(boxes);

    for (QGroupBox *box : boxes.both())
        GetParam().apply(box);
    // Drawn directly at once, even before the picture is made again.
    boxes.window.repaint();
    expectSamePicture(boxes);
    Boxes::settle();
    EXPECT_EQ(boxes.cached->hasPicture(), GetParam().keepsPicture);
    expectSamePicture(boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, CachedGroupBoxTest,
    ::testing::Values(
        Change{"Nothing", [](QGroupBox *) {}, true},
        Change{"Title", [](QGroupBox *box) { box->setTitle(QStringLiteral("MODBUS设置")); }, true},
        Change{"Size", [](QGroupBox *box) { box->resize(150, 300); }, true},
        Change{"Colour",
               [](QGroupBox *box) {
                   QPalette palette = box->palette();
                   palette.setColor(QPalette::Window, QColor(200, 220, 240));
                   palette.setColor(QPalette::WindowText, Qt::darkBlue);
                   box->setPalette(palette);
               },
               true},
        Change{"Font",
               [](QGroupBox *box) {
                   QFont font = box->font();
                   font.setPixelSize(16);
                   box->setFont(font);
               },
               true},
        Change{"Disabled", [](QGroupBox *box) { box->setEnabled(false); }, true},
        Change{"Flat", [](QGroupBox *box) { box->setFlat(true); }, true},
        Change{"RightTitle", [](QGroupBox *box) { box->setAlignment(Qt::AlignRight); }, true},
        Change{"Checkable", [](QGroupBox *box) { box->setCheckable(true); }, false},
        Change{"SeeThrough", [](QGroupBox *box) { box->setAutoFillBackground(false); }, false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
