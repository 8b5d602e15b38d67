#include "main_window_ui.h"

#include "lamp_pixmaps.h"
#include "modbus/register_map.h"
#include "product_link_address.h"
#include "translations/device_texts.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTextDocument>

#include <utility>

namespace app {

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

namespace {

// The window was laid out in twips at 15 twips per pixel; the top-level members keep those
// positions, so every figure there is a multiple of 15.
constexpr QRect fromTwips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

// Value rows are 360 twips apart.
constexpr int kRowPitch = 24;
constexpr int kRowHeight = 22;
// Controls start under the group captions, whose text is 17 px high at the window font.
constexpr int kGroupTop = 20;
// Anything placed at this x lies beyond Frame3's right edge (497 px) and so is never seen.
constexpr int kOutsideFrame3 = 510;

constexpr int kFontPixelSize = 12;
// 8.25 pt at the 96 dpi the fixed layout was made for.
constexpr int kLinkFontPixelSize = 11;

QColor surfaceColour()
{
    return {224, 224, 224};
}

// The window's texts are marked QT_TRANSLATE_NOOP("MainWindow", …) where they are given.
QString text(const char *source)
{
    return QCoreApplication::translate("MainWindow", source);
}

QString memberName(const char *array, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

QFont windowFont()
{
    QFont font;
    // Noto Sans CJK SC on Linux; the others are the common Chinese UI fonts of Windows.
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("SimSun")});
    font.setStyleHint(QFont::SansSerif);
    // Pixels, not points: the geometry is fixed in pixels, so the text must not grow with
    // the desktop's dpi setting.
    font.setPixelSize(kFontPixelSize);
    // Hex frames, numbers and Chinese captions need no OpenType shaping; Qt still shapes any
    // script that does. Every value, counter and frame shown while polling is laid out again,
    // and shaping was the largest part of that.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The surface is light whatever the desktop's theme, so the texts drawn straight on it (captions,
// labels, counters) are dark whatever the theme; fields, lists and buttons draw their own
// background and keep the theme's colours.
void fillSurface(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, surfaceColour());
    palette.setColor(QPalette::WindowText, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// A text box or list draws its own background in the theme's colours, and so do the scroll
// bars and the drop-down list inside it, which draw their arrows in WindowText: that stays the
// theme's, not the black of the surface around it.
void keepThemeText(QWidget *widget)
{
    const QPalette theme = QApplication::palette(widget);
    QPalette palette = widget->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, theme.color(group, QPalette::WindowText));
    widget->setPalette(palette);
}

template <typename Widget, typename... Args>
Widget *make(QWidget *parent, const QString &name, const QRect &geometry, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const char *caption, const QRect &geometry)
{
    // Transparent, so that a label shows exactly the surface it lies on.
    return make<QLabel>(parent, name, geometry, text(caption));
}

QPushButton *makeButton(QWidget *parent, const QString &name, const char *caption,
                        const QRect &geometry)
{
    auto *button = make<QPushButton>(parent, name, geometry, text(caption));
    button->setAutoDefault(false);
    return button;
}

QGroupBox *makeGroup(QWidget *parent, const char *name, const char *caption, const QRect &geometry)
{
    auto *group = make<QGroupBox>(parent, QLatin1String(name), geometry, text(caption));
    fillSurface(group);
    return group;
}

// A caption label and its field: the label is the field's buddy, so assistive tools find the
// field by its caption, and the caption is also the field's accessible name.
QLineEdit *makeField(QWidget *parent, const QString &name, const char *content,
                     const QRect &geometry, QLabel *caption)
{
    auto *field = make<QLineEdit>(parent, name, geometry, text(content));
    if (caption) {
        caption->setBuddy(field);
        field->setAccessibleName(caption->text());
    }
    return field;
}

QPlainTextEdit *makeTextBox(QWidget *parent, const char *name, const QRect &geometry,
                            QLabel *caption)
{
    auto *box = make<QPlainTextEdit>(parent, QLatin1String(name), geometry);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    // A narrow margin leaves room for whole lines in the short boxes of Frame5.
    box->document()->setDocumentMargin(2);
    keepThemeText(box);
    caption->setBuddy(box);
    box->setAccessibleName(caption->text());
    return box;
}

// A list whose entries are chosen, never found by the text typed over them: when editing
// ends, QComboBox looks the typed text up as a string (Qt::MatchFixedString) and selects the
// entry it finds, which would make typing choose a port. Look-ups by value (findText() as
// called by default) and the open list's type-ahead (the beginning of an entry) still work.
class ChosenEntries : public QStandardItemModel
{
public:
    using QStandardItemModel::QStandardItemModel;

    QModelIndexList match(const QModelIndex &start, int role, const QVariant &value, int hits,
                          Qt::MatchFlags flags) const override
    {
        if ((flags & Qt::MatchTypeMask) == Qt::MatchFixedString)
            return {};
        return QStandardItemModel::match(start, role, value, hits, flags);
    }
};

// The text part may be typed into; typing neither adds an entry nor selects one, only
// choosing from the list does.
QComboBox *makeCombo(QWidget *parent, const char *name, const QStringList &entries, int designIndex,
                     const QRect &geometry, QLabel *caption)
{
    auto *combo = make<QComboBox>(parent, QLatin1String(name), geometry);
    combo->setModel(new ChosenEntries(0, 1, combo));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The completer would select the entry it completes to.
    combo->setCompleter(nullptr);
    // The text field inside fills its own background, as its panel paints it Base anyway, so the
    // blinking cursor of a focused list repaints that field alone, not the list and the group
    // box below it.
    combo->lineEdit()->setAutoFillBackground(true);
    keepThemeText(combo);
    combo->addItems(entries);
    combo->setCurrentIndex(designIndex);
    caption->setBuddy(combo);
    return combo;
}

// Draws every blank of its text kBlankWidth pixels wide, so that the two address fields of
// Frame12 fit into the blank runs of "将地址      修改为  " without covering a character.
class BlankRunLabel : public QLabel
{
public:
    static constexpr int kBlankWidth = 10;

    using QLabel::QLabel;

    QSize sizeHint() const override
    {
        const QMargins margins = contentsMargins();
        return {runsWidth() + margins.left() + margins.right(),
                fontMetrics().height() + margins.top() + margins.bottom()};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect area = contentsRect();
        const QFontMetrics metrics = fontMetrics();
        const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
        int x = area.left();
        forEachRun([&](const QString &run, bool blank) {
            if (!blank)
                painter.drawText(QPoint(x, baseline), run);
            x += runWidth(run, blank);
        });
    }

private:
    template <typename Visit> void forEachRun(Visit visit) const
    {
        const QString content = text();
        qsizetype start = 0;
        while (start < content.size()) {
            const bool blank = content.at(start) == QLatin1Char(' ');
            qsizetype end = start;
            while (end < content.size() && (content.at(end) == QLatin1Char(' ')) == blank)
                ++end;
            visit(content.mid(start, end - start), blank);
            start = end;
        }
    }

    int runWidth(const QString &run, bool blank) const
    {
        return blank ? static_cast<int>(run.size()) * kBlankWidth
                     : fontMetrics().horizontalAdvance(run);
    }

    int runsWidth() const
    {
        int width = 0;
        forEachRun([&](const QString &run, bool blank) { width += runWidth(run, blank); });
        return width;
    }
};

// Line1(0), the short slash between the two counters.
class SlashLine : public QFrame
{
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
        painter.drawLine(QPointF(1, height() - 2), QPointF(width() - 1, 2));
    }
};

LinkLabel *makeLink(QWidget *parent, const char *name, const char *address, QPoint position)
{
    auto *link = make<LinkLabel>(parent, QLatin1String(name), QRect(position, QSize(1, 1)),
                                 QString::fromLatin1(address));
    setTextColour(link, Qt::blue);
    QFont font = link->font();
    font.setPixelSize(kLinkFontPixelSize);
    font.setUnderline(true);
    link->setFont(font);
    link->setCursor(Qt::PointingHandCursor);
    link->adjustSize();
    return link;
}

void setupFrame5(MainWindowUi &ui)
{
    QGroupBox *group = ui.Frame5;
    const auto row = [](int index) { return kGroupTop + index * kRowPitch; };
    const auto captionAt = [&](int index) { return QRect(8, row(index), 40, kRowHeight); };
    const auto comboAt = [&](int index) { return QRect(52, row(index), 100, kRowHeight); };

    QStringList ports;
    for (int port = 1; port <= 25; ++port)
        ports << QStringLiteral("COM%1").arg(port);

    ui.Label3 = makeLabel(group, QStringLiteral("Label3"),
                          QT_TRANSLATE_NOOP("MainWindow", "串口号"), captionAt(0));
    ui.Combo1 = makeCombo(group, "Combo1", ports, 3, comboAt(0), ui.Label3);
    ui.Label5[2] = makeLabel(group, memberName("Label5", 2),
                             QT_TRANSLATE_NOOP("MainWindow", "波特率"), captionAt(1));
    ui.Combo2 = makeCombo(group, "Combo2", {QStringLiteral("9600"), QStringLiteral("19200")}, 0,
                          comboAt(1), ui.Label5[2]);
    ui.Label5[0] = makeLabel(group, memberName("Label5", 0),
                             QT_TRANSLATE_NOOP("MainWindow", "校验位"), captionAt(2));
    ui.Combo3 = makeCombo(group, "Combo3", {text(QT_TRANSLATE_NOOP("MainWindow", "无校验"))}, 0,
                          comboAt(2), ui.Label5[0]);
    ui.Label5[1] = makeLabel(group, memberName("Label5", 1),
                             QT_TRANSLATE_NOOP("MainWindow", "数据位"), captionAt(3));
    ui.Combo4 = makeCombo(group, "Combo4", {QStringLiteral("8")}, 0, comboAt(3), ui.Label5[1]);
    ui.Label5[3] = makeLabel(group, memberName("Label5", 3),
                             QT_TRANSLATE_NOOP("MainWindow", "停止位"), captionAt(4));
    ui.Combo5 = makeCombo(group, "Combo5", {QStringLiteral("1")}, 0, comboAt(4), ui.Label5[3]);

    auto *picture = make<QFrame>(group, QStringLiteral("Picture2"), QRect(70, 142, 20, 20));
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setLineWidth(1);
    picture->setAccessibleName(text(QT_TRANSLATE_NOOP("MainWindow", "数据采集通讯状态指示")));
    picture->setAccessibleDescription(text(QT_TRANSLATE_NOOP("MainWindow", "红灯")));
    ui.Picture2 = picture;
    const qreal pixelRatio = group->devicePixelRatioF();
    const auto makeLamp = [&](const char *name, Lamp lamp) {
        auto *image = make<QLabel>(picture, QLatin1String(name), QRect(2, 2, kLampSize, kLampSize));
        image->setPixmap(lampPixmap(lamp, pixelRatio));
        image->setToolTip(text(QT_TRANSLATE_NOOP("MainWindow", "数据采集通讯状态指示")));
        return image;
    };
    ui.imgNotConnected = makeLamp("imgNotConnected", Lamp::imgNotConnected);
    ui.ImgYellow = makeLamp("ImgYellow", Lamp::ImgYellow);
    ui.imgConnected = makeLamp("imgConnected", Lamp::imgConnected);
    // The lamp raised last is seen: red in front, then yellow, then green.
    ui.imgConnected->raise();
    ui.ImgYellow->raise();
    ui.imgNotConnected->raise();

    ui.cmdCom = makeButton(group, QStringLiteral("cmdCom"),
                           QT_TRANSLATE_NOOP("MainWindow", "打开串口"), QRect(8, 166, 70, 24));
    ui.Command1 = makeButton(group, QStringLiteral("Command1"),
                             QT_TRANSLATE_NOOP("MainWindow", "关闭串口"), QRect(82, 166, 70, 24));

    ui.Label7 = makeLabel(group, QStringLiteral("Label7"),
                          QT_TRANSLATE_NOOP("MainWindow", "串口发送数据"), QRect(8, 193, 145, 17));
    // Two lines of 17 px, the 2 px document margins and the 2 px frame.
    ui.txtCommand = makeTextBox(group, "txtCommand", QRect(8, 210, 145, 42), ui.Label7);

    ui.Label1[0] =
        makeLabel(group, memberName("Label1", 0), QT_TRANSLATE_NOOP("MainWindow", "串口接收数据"),
                  QRect(8, 255, 145, 17));
    ui.txtState = makeTextBox(group, "txtState", QRect(8, 272, 145, 76), ui.Label1[0]);
    // Every request empties the box and its answer's five lines fill it again; a bar that came
    // and went with them would lay the text out again and repaint the box's frame each time.
    ui.txtState->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // "成功接收/循环 计数": each counter stands under its words, the slash under the slash.
    ui.Label1[1] =
        makeLabel(group, memberName("Label1", 1),
                  QT_TRANSLATE_NOOP("MainWindow", "成功接收/循环 计数"), QRect(8, 350, 145, 17));
    ui.lblErrCounter =
        makeLabel(group, QStringLiteral("lblErrCounter"), "0", QRect(8, 369, 46, 17));
    ui.lblErrCounter->setAlignment(Qt::AlignCenter);
    ui.lblErrCounter->setAccessibleDescription(text(QT_TRANSLATE_NOOP("MainWindow", "成功接收")));
    ui.Line1[0] = make<SlashLine>(group, memberName("Line1", 0), QRect(55, 369, 7, 17));
    ui.lblCounter = makeLabel(group, QStringLiteral("lblCounter"), "0", QRect(63, 369, 48, 17));
    ui.lblCounter->setAlignment(Qt::AlignCenter);
    ui.lblCounter->setAccessibleDescription(text(QT_TRANSLATE_NOOP("MainWindow", "循环 计数")));
}

void setupFrame10(MainWindowUi &ui)
{
    struct Pair
    {
        int label;
        const char *caption;
        QLineEdit *MainWindowUi::*field;
        const char *name;
        const char *content;
    };
    const std::array<Pair, 4> pairs{{
        {0, QT_TRANSLATE_NOOP("MainWindow", "设备地址"), &MainWindowUi::txtStationID,
         "txtStationID", "2"},
        {3, QT_TRANSLATE_NOOP("MainWindow", "功 能 码"), &MainWindowUi::txtFunID, "txtFunID", "3"},
        {1, QT_TRANSLATE_NOOP("MainWindow", "超始地址"), &MainWindowUi::txtStartID, "txtStartID",
         "0"},
        {2, QT_TRANSLATE_NOOP("MainWindow", "数据长度"), &MainWindowUi::txtDataLength,
         "txtDataLength", "16"},
    }};
    int x = 8;
    for (const Pair &pair : pairs) {
        QLabel *caption = makeLabel(ui.Frame10, memberName("Label8", pair.label), pair.caption,
                                    QRect(x, 22, 50, kRowHeight));
        ui.Label8[static_cast<std::size_t>(pair.label)] = caption;
        ui.*pair.field = makeField(ui.Frame10, QLatin1String(pair.name), pair.content,
                                   QRect(x + 52, 22, 52, kRowHeight), caption);
        x += 120;
    }
}

void setupFrame12(MainWindowUi &ui)
{
    constexpr int y = 30;
    constexpr int labelLeft = 8;
    constexpr int blank = BlankRunLabel::kBlankWidth;
    const QString words[] = {text(QT_TRANSLATE_NOOP("MainWindow", "将地址")),
                             text(QT_TRANSLATE_NOOP("MainWindow", "修改为"))};

    auto *label = make<BlankRunLabel>(ui.Frame12, memberName("Label2", 7), QRect(),
                                      words[0] + QString(6, u' ') + words[1] + QString(2, u' '));
    label->setGeometry(QRect(QPoint(labelLeft, y), QSize(label->sizeHint().width(), kRowHeight)));
    ui.Label2[7] = label;

    // Each field keeps a 4 px gap to the word before it.
    const QFontMetrics metrics = label->fontMetrics();
    const int firstRun = labelLeft + metrics.horizontalAdvance(words[0]);
    const int secondRun = firstRun + 6 * blank + metrics.horizontalAdvance(words[1]);
    constexpr int fieldWidth = 6 * blank - 8;
    ui.txtSetID[0] = makeField(ui.Frame12, memberName("txtSetID", 0), "1",
                               QRect(firstRun + 4, y, fieldWidth, kRowHeight), nullptr);
    ui.txtSetID[0]->setAccessibleName(words[0]);
    ui.txtSetID[1] = makeField(ui.Frame12, memberName("txtSetID", 1), "1",
                               QRect(secondRun + 4, y, fieldWidth, kRowHeight), nullptr);
    ui.txtSetID[1]->setAccessibleName(words[1]);

    ui.cmdReadAdd = makeButton(ui.Frame12, QStringLiteral("cmdReadAdd"),
                               QT_TRANSLATE_NOOP("MainWindow", "读地址"), QRect(220, y, 72, 24));
    ui.cmdChangeID = makeButton(ui.Frame12, QStringLiteral("cmdChangeID"),
                                QT_TRANSLATE_NOOP("MainWindow", "执行"), QRect(300, y, 72, 24));
}

void setupFrame3(MainWindowUi &ui)
{
    QGroupBox *group = ui.Frame3;
    for (const modbus::RegisterRow &row : modbus::registerMap()) {
        const int y = kGroupTop + row.field * kRowPitch;
        const auto field = static_cast<std::size_t>(row.field);

        QLabel *name = make<QLabel>(group, memberName("lblDanWei", row.captionLabel),
                                    QRect(8, y, 72, kRowHeight), i18n::caption(row));
        setTextColour(name, Qt::black);
        ui.lblDanWei[static_cast<std::size_t>(row.captionLabel)] = name;
        ui.txtValue[field] = makeField(group, memberName("txtValue", row.field), "0",
                                       QRect(82, y, 88, kRowHeight), name);

        if (row.setButton >= 0) {
            QPushButton *set =
                makeButton(group, memberName("cmdSet", row.setButton),
                           QT_TRANSLATE_NOOP("MainWindow", "设置"), QRect(176, y, 52, kRowHeight));
            set->setAccessibleName(
                text(QT_TRANSLATE_NOOP("MainWindow", "设置 %1")).arg(name->text()));
            set->setVisible(row.setButtonVisible);
            ui.cmdSet[static_cast<std::size_t>(row.setButton)] = set;
        }
        if (row.hintLabel >= 0) {
            QLabel *hint = makeLabel(group, memberName("Label2", row.hintLabel), "",
                                     QRect(236, y, 240, kRowHeight));
            hint->setText(i18n::hint(row));
            setTextColour(hint, Qt::red);
            ui.Label2[static_cast<std::size_t>(row.hintLabel)] = hint;
        }
    }

    QLabel *unit =
        makeLabel(group, memberName("lblDanWei", 3), "%RH", QRect(172, kGroupTop, 30, kRowHeight));
    setTextColour(unit, Qt::red);
    unit->setVisible(false);
    ui.lblDanWei[3] = unit;

    QLabel *spare = makeLabel(group, memberName("lblDanWei", 15), "0-2",
                              QRect(kOutsideFrame3, kGroupTop, 40, kRowHeight));
    setTextColour(spare, Qt::red);
    spare->setEnabled(false);
    spare->setVisible(false);
    ui.lblDanWei[15] = spare;

    const std::array<std::pair<int, const char *>, 3> unusedHints{{
        {0, QT_TRANSLATE_NOOP("MainWindow", "值范围为：750-9000")},
        {2, QT_TRANSLATE_NOOP("MainWindow", "值范围为：1，2，4，8")},
        {6, QT_TRANSLATE_NOOP("MainWindow", "值范围为：4000-4095")},
    }};
    int y = kGroupTop + kRowPitch;
    for (const auto &[index, hint] : unusedHints) {
        QLabel *label =
            makeLabel(group, memberName("Label2", index), hint, QRect(kOutsideFrame3, y, 160, 17));
        setTextColour(label, Qt::red);
        label->setVisible(false);
        ui.Label2[static_cast<std::size_t>(index)] = label;
        y += kRowPitch;
    }

    // Row 15 ends at 378.
    ui.Line2 = make<QFrame>(group, QStringLiteral("Line2"), QRect(8, 379, 481, 3));
    ui.Line2->setFrameShape(QFrame::HLine);
    ui.Line2->setFrameShadow(QFrame::Sunken);

    constexpr int pollY = 383;
    ui.Label8[4] =
        makeLabel(group, memberName("Label8", 4), QT_TRANSLATE_NOOP("MainWindow", "定时时长(ms)"),
                  QRect(8, pollY, 76, kRowHeight));
    ui.txtTimerSet = makeField(group, QStringLiteral("txtTimerSet"), "1000",
                               QRect(88, pollY, 60, kRowHeight), ui.Label8[4]);
    ui.comDoOnce =
        makeButton(group, QStringLiteral("comDoOnce"), QT_TRANSLATE_NOOP("MainWindow", "单次"),
                   QRect(176, pollY, 64, kRowHeight));
    ui.cmdOneM =
        makeButton(group, QStringLiteral("cmdOneM"), QT_TRANSLATE_NOOP("MainWindow", "循环"),
                   QRect(246, pollY, 64, kRowHeight));
    ui.cmdStopOnce =
        makeButton(group, QStringLiteral("cmdStopOnce"), QT_TRANSLATE_NOOP("MainWindow", "停止"),
                   QRect(316, pollY, 64, kRowHeight));

    constexpr int infoY = pollY + kRowPitch;
    ui.Label8[5] =
        makeLabel(group, memberName("Label8", 5), QT_TRANSLATE_NOOP("MainWindow", "设备信息"),
                  QRect(8, infoY, 76, kRowHeight));
    ui.TXTtype = makeField(group, QStringLiteral("TXTtype"), "1000",
                           QRect(88, infoY, 140, kRowHeight), ui.Label8[5]);
    ui.Command2 =
        makeButton(group, QStringLiteral("Command2"), QT_TRANSLATE_NOOP("MainWindow", "读设备信息"),
                   QRect(246, infoY, 134, kRowHeight));
}

} // namespace

void MainWindowUi::setupUi(QWidget *frmMain)
{
    frmMain->setObjectName(QStringLiteral("frmMain"));
    frmMain->setWindowTitle(text(QT_TRANSLATE_NOOP("MainWindow", "RX904智能电压控制器工具软件")));
    frmMain->setWindowIcon(windowIcon());
    frmMain->setFixedSize(668, 589);
    frmMain->setFont(windowFont());
    fillSurface(frmMain);

    Frame5 = makeGroup(frmMain, "Frame5", QT_TRANSLATE_NOOP("MainWindow", "串口设置"),
                       fromTwips(0, 120, 2415, 5895));
    setupFrame5(*this);

    Label6 =
        makeLabel(frmMain, QStringLiteral("Label6"), QT_TRANSLATE_NOOP("MainWindow", "默认参数"),
                  fromTwips(240, 6120, 1575, 255));
    const std::array<const char *, 4> presets{QT_TRANSLATE_NOOP("MainWindow", "水分控制器"),
                                              QT_TRANSLATE_NOOP("MainWindow", "雨雪控制器"),
                                              QT_TRANSLATE_NOOP("MainWindow", "风速控制器"),
                                              QT_TRANSLATE_NOOP("MainWindow", "PH值控制器")};
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const int top = 6480 + 480 * static_cast<int>(i);
        cmdDefaultSet[i] = makeButton(frmMain, memberName("cmdDefaultSet", static_cast<int>(i)),
                                      presets[i], fromTwips(360, top, 1455, 375));
    }

    Frame10 = makeGroup(frmMain, "Frame10", QT_TRANSLATE_NOOP("MainWindow", "MODBUS设置"),
                        fromTwips(2520, 0, 7455, 735));
    setupFrame10(*this);
    Frame12 = makeGroup(frmMain, "Frame12", QT_TRANSLATE_NOOP("MainWindow", "设备地址修改操作"),
                        fromTwips(2520, 840, 7455, 975));
    setupFrame12(*this);

    // These two are created before Frame3, which is stacked above them and covers them.
    Label1[4] = makeLabel(frmMain, memberName("Label1", 4),
                          QT_TRANSLATE_NOOP("MainWindow", "产品手册及资料下载地址"),
                          QRect(184, 520, 153, 17));
    lblurl = makeLink(frmMain, "lblurl", kRx903PageUrl, QPoint(344, 522));

    Frame3 = makeGroup(frmMain, "Frame3", QT_TRANSLATE_NOOP("MainWindow", "数据及参数查询"),
                       fromTwips(2520, 1920, 7455, 6495));
    setupFrame3(*this);

    Label1[2] = makeLabel(frmMain, memberName("Label1", 2),
                          QT_TRANSLATE_NOOP("MainWindow", "产品手册及资料下载地址"),
                          fromTwips(240, 8520, 2295, 255));
    setTextColour(Label1[2], Qt::red);
    Label4 = makeLink(frmMain, "Label4", kProductPageUrl, fromTwips(2760, 8520, 0, 0).topLeft());
}

} // namespace app
