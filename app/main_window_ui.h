#pragma once
#include <QLabel>
#include <array>

class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace app {

// A label that reports clicks: the two product-page link labels.
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// Every control of the main window under its own name; array members by index, with
// nullptr where the array has no such member. Builds the widget tree only: no behaviour.
struct MainWindowUi
{
    QGroupBox *Frame5 = nullptr;
    QGroupBox *Frame10 = nullptr;
    QGroupBox *Frame12 = nullptr;
    QGroupBox *Frame3 = nullptr;

    QComboBox *Combo1 = nullptr;
    QComboBox *Combo2 = nullptr;
    QComboBox *Combo3 = nullptr;
    QComboBox *Combo4 = nullptr;
    QComboBox *Combo5 = nullptr;

    QLabel *Label3 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    std::array<QLabel *, 4> Label5{};
    std::array<QLabel *, 5> Label1{};
    std::array<QLabel *, 6> Label8{};
    std::array<QLabel *, 15> Label2{};
    std::array<QLabel *, 18> lblDanWei{};
    LinkLabel *Label4 = nullptr;
    LinkLabel *lblurl = nullptr;
    QLabel *lblErrCounter = nullptr;
    QLabel *lblCounter = nullptr;

    QLineEdit *txtStationID = nullptr;
    QLineEdit *txtFunID = nullptr;
    QLineEdit *txtStartID = nullptr;
    QLineEdit *txtDataLength = nullptr;
    std::array<QLineEdit *, 2> txtSetID{};
    std::array<QLineEdit *, 15> txtValue{};
    QLineEdit *txtTimerSet = nullptr;
    QLineEdit *TXTtype = nullptr;
    QPlainTextEdit *txtCommand = nullptr;
    QPlainTextEdit *txtState = nullptr;

    QPushButton *cmdCom = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *cmdReadAdd = nullptr;
    QPushButton *cmdChangeID = nullptr;
    std::array<QPushButton *, 12> cmdSet{};
    std::array<QPushButton *, 4> cmdDefaultSet{};
    QPushButton *comDoOnce = nullptr;
    QPushButton *cmdOneM = nullptr;
    QPushButton *cmdStopOnce = nullptr;
    QPushButton *Command2 = nullptr;

    // The status lamps: three same-size images stacked in Picture2; the one raised last
    // is seen.
    QWidget *Picture2 = nullptr;
    QLabel *imgNotConnected = nullptr;
    QLabel *ImgYellow = nullptr;
    QLabel *imgConnected = nullptr;

    std::array<QFrame *, 1> Line1{};
    QFrame *Line2 = nullptr;

    // Creates all controls as children of frmMain with their design-time texts, positions,
    // visibility, object names and accessibility, and fixes frmMain's size and caption.
    void setupUi(QWidget *frmMain);
};

} // namespace app
