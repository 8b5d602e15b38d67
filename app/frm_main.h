#pragma once
#include "frame_pacer.h"
#include "handler_gate.h"
#include "main_window_ui.h"
#include "operations/form_vars.h"
#include "operations/window.h"
#include "qt_poll_timer.h"
#include "traffic_monitor.h"
#include "widget_form.h"

#include <QAction>
#include <QWidget>

namespace app {

class MonitorWindow;

// The main window: its controls, the window-level variables, and one handler per control
// event. Each handler passes through the gate and hands the work to the operations.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    frmMain(ops::CommControl &MSComm1, ops::MessageBox &messages, QWidget *parent = nullptr);
    ~frmMain() override;

    // The start-up sequence; run once before the window is first shown.
    void Form_Load();

    void Combo1_Click();
    void Combo2_Click();
    void cmdCom_Click();
    void Command1_Click();
    void cmdReadAdd_Click();
    void cmdChangeID_Click();
    void cmdSet_Click(int Index);
    void cmdDefaultSet_Click(int Index);
    void comDoOnce_Click();
    void cmdOneM_Click();
    void cmdStopOnce_Click();
    void Timer2_Timer();
    void Command2_Click();
    void Label4_Click();
    void lblurl_Click();
    void MSComm1_OnComm();

    // "设备配置…" (F3, the context menu, --configure): the configuration window, modal, run
    // as a handler; while it is open the port is lent to it.
    void openConfiguration();

    [[nodiscard]] const MainWindowUi &ui() const { return m_ui; }
    [[nodiscard]] const ops::FormVars &vars() const { return m_vars; }
    [[nodiscard]] const ops::PollTimer &timer2() const { return m_timer2; }
    [[nodiscard]] ops::Lamp lampInFront() const { return m_form.lampInFront(); }

    // The traffic monitor's window ("通讯监视"), made on first use and raised after that.
    // F2 and the entry "通讯监视…" in the context menus open it.
    void openTrafficMonitor();
    [[nodiscard]] MonitorWindow *trafficMonitorWindow() const { return m_monitorWindow; }
    [[nodiscard]] TrafficMonitor &trafficMonitor() { return m_traffic; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void describePorts();
    void offerTrafficMonitorOnFrames(QAction *monitor);
    template <typename Handler> void handle(Handler &&handler);
    void configure();

    MainWindowUi m_ui;
    WidgetForm m_form{m_ui};
    ops::FormVars m_vars;
    ops::CommControl &m_MSComm1;
    QtPollTimer m_timer2;
    ops::Window m_window;
    HandlerGate m_gate;
    FramePacer m_pacer{this};
    // Only watches the line's traffic; nothing of the window's own work passes through it.
    TrafficMonitor m_traffic;
    MonitorWindow *m_monitorWindow = nullptr;
};

} // namespace app
