// Polling figures of the Windows build: the real window on Windows' COM1 (under wine, a
// pseudo-terminal with rx904-sim --wire-timing behind it), polling at a period for a time at
// a speed. Writes a Markdown table to the file named first:
//   wine_polling.exe OUT.md [PERIOD_MS SECONDS BAUD]
// Run by scripts/windows/bench.sh; the CPU is this process's under wine, not Windows'.
#include "app/frm_main.h"
#include "app/main_window_ui.h"
#include "operations/comm_adapter.h"
#include "serial/port_directory.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include <qt_windows.h>
// windows.h names MessageBoxW MessageBox; the tool's ops::MessageBox is meant here.
#undef MessageBox

namespace {

using Clock = std::chrono::steady_clock;

// A modal box would stop the run; count them instead.
class CountingMessageBox : public ops::MessageBox
{
public:
    void show(const QString &, const QString &, ops::MessageIcon) override { ++shown; }
    int shown = 0;
};

double cpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME &t) {
        return static_cast<double>(static_cast<quint64>(t.dwHighDateTime) << 32 | t.dwLowDateTime) *
               1e-7;
    };
    return seconds(kernel) + seconds(user);
}

// The benchmark's own waits: its main(), never a handler.
void runEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[at];
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int periodMs = argc > 2 ? std::atoi(argv[2]) : 50;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
    const int baud = argc > 4 ? std::atoi(argv[4]) : 38400;

    serial::PortDirectory ports;
    ops::CommAdapter port(ports);
    CountingMessageBox messages;
    app::frmMain window(port, messages);
    std::vector<Clock::time_point> sent;
    sent.reserve(static_cast<std::size_t>(seconds * 1000 / periodMs * 2 + 64));
    bool recording = false;
    QObject::connect(&port, &ops::CommAdapter::transportChanged, &window,
                     [&](serial::Transport *transport) {
                         QObject::connect(transport, &serial::Transport::sent, &window,
                                          [&](const QByteArray &, serial::TimePoint at) {
                                              if (recording)
                                                  sent.push_back(at);
                                          });
                     });
    window.Form_Load();
    window.show();
    QComboBox *speeds = window.ui().Combo2;
    const int index = speeds->findText(QString::number(baud));
    if (!port.portOpen() || index < 0)
        return 3;
    speeds->setCurrentIndex(index);
    emit speeds->activated(index);
    runEventsFor(300);

    const int sentBefore = window.ui().lblCounter->text().toInt();
    const int receivedBefore = window.ui().lblErrCounter->text().toInt();
    const double cpuStart = cpuSeconds();
    const auto start = Clock::now();
    recording = true;
    window.ui().txtTimerSet->setText(QString::number(periodMs));
    window.ui().cmdOneM->click();
    runEventsFor(seconds * 1000);
    window.ui().cmdStopOnce->click();
    recording = false;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuStart;
    // An answer may still be on its way after "停止".
    runEventsFor(500);

    const int requests = window.ui().lblCounter->text().toInt() - sentBefore;
    const int answers = window.ui().lblErrCounter->text().toInt() - receivedBefore;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < sent.size(); ++i)
        gaps.push_back(std::chrono::duration<double, std::milli>(sent[i] - sent[i - 1]).count());
    double mean = 0.0;
    for (double gap : gaps)
        mean += gap;
    mean = gaps.empty() ? 0.0 : mean / static_cast<double>(gaps.size());

    QFile file(out);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return 4;
    file.write(QStringLiteral("| figure | value |\n| --- | --- |\n"
                              "| period, speed, time | %1 ms, %2 baud, %3 s |\n"
                              "| requests sent / answers received | %4 / %5 |\n"
                              "| answers lost | %6 |\n"
                              "| mean period | %7 ms (error %8 %) |\n"
                              "| period p1 / p50 / p99 | %9 / %10 / %11 ms |\n"
                              "| CPU of the tool's process (wine's, not Windows') | %12 % |\n"
                              "| messages shown | %13 |\n")
                   .arg(periodMs)
                   .arg(baud)
                   .arg(wall, 0, 'f', 1)
                   .arg(requests)
                   .arg(answers)
                   .arg(requests - answers)
                   .arg(mean, 0, 'f', 2)
                   .arg(std::abs(mean - periodMs) / periodMs * 100.0, 0, 'f', 2)
                   .arg(percentile(gaps, 0.01), 0, 'f', 1)
                   .arg(percentile(gaps, 0.5), 0, 'f', 1)
                   .arg(percentile(gaps, 0.99), 0, 'f', 1)
                   .arg(cpu / wall * 100.0, 0, 'f', 1)
                   .arg(messages.shown)
                   .toUtf8());
    return 0;
}
