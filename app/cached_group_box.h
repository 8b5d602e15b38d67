#pragma once
#include <QGroupBox>
#include <QPixmap>
#include <QStyleOptionGroupBox>

namespace app {

// A group box that keeps a picture of its background, frame and title and copies from it the
// part a repaint asks for. The labels, fields and lamps inside lie on the group's surface, so
// each change of one of them repaints the group below it: four times per exchange while
// polling. Fusion then looks up its frame pixmap by file name, scales it and lays out the
// title again every time, about 0.5% of a core at 50 ms. The picture is made by render(),
// which draws exactly what a repaint draws; until it is there, and whenever what it shows
// changes, the group is drawn directly and the picture made again once the repaint is over.
// Checkable and see-through group boxes are always drawn directly.
class CachedGroupBox : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

    // Whether the next repaint copies from the picture.
    [[nodiscard]] bool hasPicture() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    [[nodiscard]] bool cacheable() const;
    [[nodiscard]] QStyleOptionGroupBox currentOption() const;
    [[nodiscard]] bool pictureFits(const QStyleOptionGroupBox &option) const;
    void makePicture();

    QPixmap m_picture;
    QStyleOptionGroupBox m_pictureOption;
    bool m_rendering = false;
    bool m_pictureDue = false;
};

} // namespace app
