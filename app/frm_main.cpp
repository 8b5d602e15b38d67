#include "frm_main.h"

#include "configuration_window.h"
#include "help_window.h"
#include "monitor_window.h"
#include "window_actions.h"

#include "operations/address_operations.h"
#include "operations/device_information.h"
#include "operations/field_values.h"
#include "operations/messages.h"
#include "operations/parameter_write.h"
#include "operations/polling.h"
#include "operations/port_management.h"
#include "operations/presets.h"
#include "operations/receive_handler.h"
#include "operations/single_query.h"
#include "operations/startup.h"
#include "product_link.h"
#include "translations/device_texts.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

namespace app {

frmMain::frmMain(ops::CommControl &MSComm1, ops::MessageBox &messages, QWidget *parent)
    : QWidget(parent), m_MSComm1(MSComm1),
      m_timer2(this), m_window{m_form, m_vars, MSComm1, messages, m_timer2}
{
    m_ui.setupUi(this);
    connectControls();
    // Three more entries of the context menu, with their keys: nothing in the window's layout
    // or texts changes.
    QAction *monitor = addWindowAction(*this, tr("通讯监视…"), QKeySequence(Qt::Key_F2),
                                       [this] { openTrafficMonitor(); });
    addWindowAction(*this, tr("设备配置…"), QKeySequence(Qt::Key_F3),
                    [this] { openConfiguration(); });
    addWindowAction(*this, tr("帮助…"), QKeySequence(Qt::Key_F1), [this] { showHelp(*this); });
    offerTrafficMonitorOnFrames(monitor);
}

// The monitor's window reads the monitor, which goes with the members, before the children.
frmMain::~frmMain()
{
    delete m_monitorWindow;
}

// The frame fields keep their own menu, with the monitor's entry below it.
void frmMain::offerTrafficMonitorOnFrames(QAction *monitor)
{
    for (QPlainTextEdit *frame : {m_ui.txtCommand, m_ui.txtState}) {
        frame->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(frame, &QWidget::customContextMenuRequested, this,
                [frame, monitor](const QPoint &at) {
                    QMenu *menu = frame->createStandardContextMenu();
                    menu->setAttribute(Qt::WA_DeleteOnClose);
                    menu->addSeparator();
                    menu->addAction(monitor);
                    // A scroll area reports the position on its viewport.
                    menu->popup(frame->viewport()->mapToGlobal(at));
                });
    }
}

void frmMain::openTrafficMonitor()
{
    if (!m_monitorWindow)
        m_monitorWindow = new MonitorWindow(m_traffic, this);
    m_monitorWindow->show();
    m_monitorWindow->raise();
    m_monitorWindow->activateWindow();
}

template <typename Handler> void frmMain::handle(Handler &&handler)
{
    m_gate.run(std::forward<Handler>(handler), [this] { ops::MSComm1_OnComm(m_window); });
    // A polled request's answer follows within the frame at 38400 baud: one paint for both.
    m_pacer.holdFrame();
}

void frmMain::connectControls()
{
    // activated is the operator's choice only; the start-up sequence raises the handlers
    // itself at the right step.
    connect(m_ui.Combo1, &QComboBox::activated, this, &frmMain::Combo1_Click);
    connect(m_ui.Combo2, &QComboBox::activated, this, &frmMain::Combo2_Click);
    // The port list's tooltips name the device behind each entry when the list opens.
    m_ui.Combo1->view()->installEventFilter(this);
    connect(m_ui.cmdCom, &QPushButton::clicked, this, &frmMain::cmdCom_Click);
    connect(m_ui.Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(m_ui.cmdReadAdd, &QPushButton::clicked, this, &frmMain::cmdReadAdd_Click);
    connect(m_ui.cmdChangeID, &QPushButton::clicked, this, &frmMain::cmdChangeID_Click);
    for (int index = 0; index < static_cast<int>(m_ui.cmdSet.size()); ++index)
        connect(m_ui.cmdSet[static_cast<std::size_t>(index)], &QPushButton::clicked, this,
                [this, index] { cmdSet_Click(index); });
    for (int index = 0; index < static_cast<int>(m_ui.cmdDefaultSet.size()); ++index)
        connect(m_ui.cmdDefaultSet[static_cast<std::size_t>(index)], &QPushButton::clicked, this,
                [this, index] { cmdDefaultSet_Click(index); });
    connect(m_ui.comDoOnce, &QPushButton::clicked, this, &frmMain::comDoOnce_Click);
    connect(m_ui.cmdOneM, &QPushButton::clicked, this, &frmMain::cmdOneM_Click);
    connect(m_ui.cmdStopOnce, &QPushButton::clicked, this, &frmMain::cmdStopOnce_Click);
    connect(m_ui.Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(m_ui.Label4, &LinkLabel::clicked, this, &frmMain::Label4_Click);
    connect(m_ui.lblurl, &LinkLabel::clicked, this, &frmMain::lblurl_Click);
    connect(&m_timer2, &QtPollTimer::tick, this, &frmMain::Timer2_Timer);
    // A value the user types waits to be written; Esc gives it up for the device's value.
    for (int k = modbus::kFirstWritableField; k < modbus::kValueFieldCount; ++k) {
        QLineEdit *edit = m_ui.txtValue[static_cast<std::size_t>(k)];
        connect(edit, &QLineEdit::textEdited, this,
                [this, k] { m_form.setAwaitsWrite(ops::valueField(k), true); });
        edit->installEventFilter(this);
    }
    connect(&m_MSComm1, &ops::CommControl::OnComm, this, &frmMain::MSComm1_OnComm);
}

void frmMain::describePorts()
{
    const QStringList tips = m_MSComm1.portToolTips();
    for (int index = 0; index < m_ui.Combo1->count() && index < tips.size(); ++index)
        m_ui.Combo1->setItemData(index, tips[index], Qt::ToolTipRole);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui.Combo1->view() && event->type() == QEvent::Show)
        describePorts();
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        for (int k = modbus::kFirstWritableField; k < modbus::kValueFieldCount; ++k) {
            if (watched == m_ui.txtValue[static_cast<std::size_t>(k)] &&
                m_form.awaitsWrite(ops::valueField(k))) {
                handle([this, k] { ops::valueField_Escape(m_window, k); });
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::Form_Load()
{
    describePorts();
    handle([this] { ops::Form_Load(m_window); });
}

void frmMain::Combo1_Click()
{
    handle([this] { ops::Combo1_Click(m_window); });
}

void frmMain::Combo2_Click()
{
    handle([this] { ops::Combo2_Click(m_window); });
}

void frmMain::cmdCom_Click()
{
    handle([this] { ops::cmdCom_Click(m_window); });
}

void frmMain::Command1_Click()
{
    handle([this] { ops::Command1_Click(m_window); });
}

void frmMain::cmdReadAdd_Click()
{
    handle([this] { ops::cmdReadAdd_Click(m_window); });
}

void frmMain::cmdChangeID_Click()
{
    handle([this] { ops::cmdChangeID_Click(m_window); });
}

void frmMain::cmdSet_Click(int Index)
{
    handle([this, Index] { ops::cmdSet_Click(m_window, Index); });
}

void frmMain::cmdDefaultSet_Click(int Index)
{
    handle([this, Index] { ops::cmdDefaultSet_Click(m_form, Index); });
}

void frmMain::comDoOnce_Click()
{
    handle([this] { ops::comDoOnce_Click(m_window); });
}

void frmMain::cmdOneM_Click()
{
    handle([this] { ops::cmdOneM_Click(m_window); });
}

void frmMain::cmdStopOnce_Click()
{
    handle([this] { ops::cmdStopOnce_Click(m_window); });
}

void frmMain::Timer2_Timer()
{
    // A tick that falls while a handler (or its message box) is open is dropped.
    handle([this] { ops::Timer2_Timer(m_window); });
}

void frmMain::Command2_Click()
{
    handle([this] { ops::Command2_Click(m_window); });
}

void frmMain::Label4_Click()
{
    handle([] { openProductPage(); });
}

void frmMain::lblurl_Click()
{
    // The covered RX903 label opens the RX904 page too: both run the one opener.
    handle([] { openProductPage(); });
}

void frmMain::MSComm1_OnComm()
{
    if (m_gate.busy()) {
        m_gate.deferEvent();
        return;
    }
    handle([this] { ops::MSComm1_OnComm(m_window); });
}

void frmMain::openConfiguration()
{
    handle([this] { configure(); });
}

void frmMain::configure()
{
    auto &port = m_MSComm1;
    const bool wasOpen = port.portOpen();
    if (!wasOpen)
        port.setPortOpen(true);
    const commissioning::Link link{
        m_vars.CommRate,
        std::max(1, int{ops::roundedStation(m_form, ops::Field::txtStationID).value_or(1)})};
    // The port opened again from the configuration window, which cannot reach this one.
    const auto reopen = [&port]() -> std::pair<serial::Transport *, QString> {
        port.giveBack();
        port.setPortOpen(false);
        if (!port.setPortOpen(true)) {
            const QString cause = port.openFailureCause();
            return {nullptr, cause.isEmpty() ? i18n::message(ops::text::kPortOpenFailed) : cause};
        }
        return {port.lend(), QString()};
    };
    std::optional<commissioning::Link> chosen;
    {
        serial::Transport *line = port.lend();
        if (line)
            m_traffic.lineEvent(tr("串口交给设备配置窗口"));
        ConfigurationWindow window(line, link, reopen, this);
        window.exec();
        chosen = window.chosenLink();
    }
    if (port.lent())
        m_traffic.lineEvent(tr("设备配置窗口交回串口"));
    port.giveBack();
    if (!wasOpen)
        port.setPortOpen(false);
    if (!chosen)
        return;
    // The speed as if the user had chosen it in the list, so the port reopens at it.
    const QString speed = QString::number(chosen->baud);
    for (int index = 0; index < m_form.listCount(ops::List::Combo2); ++index) {
        if (m_form.listText(ops::List::Combo2, index) == speed) {
            m_form.selectIndex(ops::List::Combo2, index);
            ops::Combo2_Click(m_window);
            break;
        }
    }
    m_form.setText(ops::Field::txtStationID, QString::number(chosen->station));
    m_form.setText(ops::Field::txtSetID0, QString::number(chosen->station));
}

} // namespace app
