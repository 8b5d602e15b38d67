#include "tool_session.h"

#include "app/frm_main.h"
#include "operations/comm_adapter.h"
#include "process_probe.h"
#include "serial/port_directory.h"
#include "serial/transport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <csignal>

namespace bench {
namespace {

// A mouse click also takes the focus to the button, so no field's cursor goes on blinking
// while the window polls.
void pressWithMouse(QAbstractButton *button)
{
    button->setFocus(Qt::MouseFocusReason);
    button->click();
}

constexpr int kPatienceMs = 10000;
// After "停止" an answer may still be on its way: one exchange at 9600 baud is 52 ms.
constexpr double kSettleSeconds = 0.3;

// The last two bytes of txtState's " 01 03 1E ... LL HH".
std::uint16_t trailingCrc(const QString &received)
{
    if (received.size() < 6)
        return 0;
    const QString tail = received.right(5);
    bool lowOk = false;
    bool highOk = false;
    const unsigned first = tail.left(2).toUInt(&lowOk, 16);
    const unsigned second = tail.right(2).toUInt(&highOk, 16);
    if (!lowOk || !highOk)
        return 0;
    return static_cast<std::uint16_t>(first << 8 | second);
}

} // namespace

void runEventsFor(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000.0), Qt::PreciseTimer, &loop,
                       &QEventLoop::quit);
    loop.exec();
}

ToolSession::ToolSession(BenchApplication &application, std::string simPath)
    : m_application(application), m_simPath(std::move(simPath))
{
}

ToolSession::~ToolSession()
{
    m_application.watchPaints(nullptr, {});
    m_window.reset();
    m_port.reset();
    m_ports.reset();
}

bool ToolSession::start(int baud, const std::string &logPath, std::string &error)
{
    ChildProcess::Launch launch;
    launch.arguments = {m_simPath, "--wire-timing", "--baud", std::to_string(baud),
                        "--log",   logPath};
    if (!m_sim.start(launch, error))
        return false;
    const auto path = m_sim.readLine(kPatienceMs);
    if (!path || path->empty()) {
        error = "rx904-sim printed no terminal path";
        return false;
    }
    serial::PortMap map;
    map.set(1, QString::fromStdString(*path), serial::PortOrigin::CommandLine);
    m_ports = std::make_unique<serial::PortDirectory>(map);
    m_port = std::make_unique<ops::CommAdapter>(*m_ports);
    m_window = std::make_unique<app::frmMain>(*m_port, m_messages);
    // Made after the window's own connection, so it runs once the receive handler has
    // returned.
    QObject::connect(m_port.get(), &ops::CommControl::OnComm, m_window.get(),
                     [this] { answerHandled(); });
    // Each request as the transport hands it to the system, on whichever transport an open
    // made.
    QObject::connect(m_port.get(), &ops::CommAdapter::transportChanged, m_window.get(),
                     [this](serial::Transport *transport) {
                         QObject::connect(
                             transport, &serial::Transport::sent, m_window.get(), [this] {
                                 if (m_run != nullptr && m_written < m_run->requestWrittenNs.size())
                                     m_run->requestWrittenNs[m_written++] = monotonicNs();
                             });
                     });
    m_window->Form_Load();
    m_window->show();
    if (!m_port->portOpen()) {
        error = "COM1 (" + *path + ") did not open";
        return false;
    }
    // The operator's choice of speed: the window reopens the port at it.
    QComboBox *speeds = m_window->ui().Combo2;
    const int index = speeds->findText(QString::number(baud));
    if (index < 0) {
        error = "no speed " + std::to_string(baud) + " in the list";
        return false;
    }
    speeds->setCurrentIndex(index);
    emit speeds->activated(index);
    if (!m_port->portOpen() || m_port->settings().baudRate != baud) {
        error = "COM1 did not reopen at " + std::to_string(baud);
        return false;
    }

    const QDeadlineTimer deadline(kPatienceMs);
    while (m_window->windowHandle() == nullptr || !m_window->windowHandle()->isExposed()) {
        if (deadline.hasExpired()) {
            error = "the window was never exposed";
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    m_application.watchPaints(m_window.get(), [this] {
        if (m_run != nullptr && m_waitingPaint < m_recorded) {
            m_run->answers[m_waitingPaint].paintedNs = monotonicNs();
            m_waitingPaint = SIZE_MAX;
        }
    });
    runEventsFor(0.2);
    return true;
}

double ToolSession::idleCpuShare(double seconds)
{
    const long long startNs = monotonicNs();
    const double startCpu = selfCpuSeconds();
    runEventsFor(seconds);
    const double wall = static_cast<double>(monotonicNs() - startNs) * 1e-9;
    return (selfCpuSeconds() - startCpu) / wall;
}

ToolRun ToolSession::poll(int periodMs, double seconds, double rssEverySeconds)
{
    ToolRun run;
    // Room for every answer, written now so that filling it later grows no memory.
    const auto room = static_cast<std::size_t>(seconds * 1000.0 / periodMs * 1.5) + 64;
    run.answers.assign(room, ToolRun::Answer{});
    run.requestWrittenNs.assign(room, 0);
    run.residentMb.reserve(
        static_cast<std::size_t>(rssEverySeconds > 0 ? seconds / rssEverySeconds : 0) + 8);
    m_run = &run;
    m_recorded = 0;
    m_written = 0;
    m_waitingPaint = SIZE_MAX;

    QTimer rssTimer;
    const long long startNs = monotonicNs();
    const auto sampleRss = [&run, startNs] {
        run.residentMb.emplace_back(static_cast<double>(monotonicNs() - startNs) * 1e-9,
                                    selfMemory().residentMb);
    };
    if (rssEverySeconds > 0) {
        QObject::connect(&rssTimer, &QTimer::timeout, sampleRss);
        rssTimer.start(static_cast<int>(rssEverySeconds * 1000.0));
        sampleRss();
    }

    const double startCpu = selfCpuSeconds();
    m_window->ui().txtTimerSet->setText(QString::number(periodMs));
    pressWithMouse(m_window->ui().cmdOneM);
    runEventsFor(seconds);
    pressWithMouse(m_window->ui().cmdStopOnce);
    const double wall = static_cast<double>(monotonicNs() - startNs) * 1e-9;
    run.cpuShare = (selfCpuSeconds() - startCpu) / wall;
    run.seconds = wall;
    if (rssEverySeconds > 0)
        sampleRss();
    rssTimer.stop();

    runEventsFor(kSettleSeconds);
    m_run = nullptr;
    run.answers.resize(m_recorded);
    run.requestWrittenNs.resize(m_written);
    return run;
}

void ToolSession::answerHandled()
{
    if (m_run == nullptr || m_port->commEvent() != serial::kComEvReceive)
        return;
    const long long now = monotonicNs();
    if (m_recorded >= m_run->answers.size()) {
        ++m_run->notRecorded;
        return;
    }
    ToolRun::Answer &answer = m_run->answers[m_recorded];
    answer.decodedNs = now;
    answer.crc = trailingCrc(m_window->ui().txtState->toPlainText());
    m_waitingPaint = m_recorded;
    ++m_recorded;
}

bool ToolSession::finish(std::string &error)
{
    m_application.watchPaints(nullptr, {});
    // The port closes before the device goes, so the window sees no lost port.
    m_window.reset();
    m_port.reset();
    m_ports.reset();
    m_sim.signal(SIGTERM);
    if (!m_sim.wait(kPatienceMs)) {
        error = "rx904-sim did not end";
        return false;
    }
    return true;
}

} // namespace bench
