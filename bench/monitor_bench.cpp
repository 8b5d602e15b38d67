// rx904-monitor-bench: an hour of polling every 50 ms (72 000 exchanges of a 15-register
// query) fed through the traffic monitor, its record and trend, and its window (offscreen),
// with fed times instead of real ones. Prints resident memory as the record fills and
// whether it stops growing, and the CPU time the monitor spent per polled hour.
//   rx904-monitor-bench [--exchanges N] [--tab record|trend|none] [--quick]
// Without --tab the record is shown for the first half and the trend for the second.
#include "app/monitor_window.h"
#include "app/traffic_monitor.h"
#include "modbus/crc16.h"
#include "modbus/request_frame.h"
#include "serial/fake_transport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(static_cast<int>(std::strlen(key))).trimmed().split(' ')[0].toLong();
    }
    return -1;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray answerWithValue(int tenths)
{
    std::vector<std::uint8_t> answer{0x01, 0x03, 0x1E};
    for (int k = 0; k < 15; ++k) {
        const int v = k == 0 ? tenths : 100 * k;
        answer.push_back(static_cast<std::uint8_t>(v >> 8));
        answer.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    modbus::appendCrc(answer);
    return QByteArray(reinterpret_cast<const char *>(answer.data()),
                      static_cast<qsizetype>(answer.size()));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    long exchanges = 72000;
    int tab = -1; // -1: record first, trend from halfway
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            exchanges = 2000;
        else if (std::strcmp(argv[i], "--tab") == 0 && i + 1 < argc)
            tab = std::strcmp(argv[++i], "trend") == 0 ? 1
                  : std::strcmp(argv[i], "none") == 0  ? 2
                                                       : 0;
        else if (std::strcmp(argv[i], "--exchanges") == 0 && i + 1 < argc)
            exchanges = std::stol(argv[++i]);
        else {
            std::fprintf(
                stderr,
                "usage: rx904-monitor-bench [--exchanges N] [--tab record|trend|none] [--quick]\n");
            return 2;
        }
    }
    QApplication application(argc, argv);

    using namespace std::chrono;
    const steady_clock::time_point start{};
    steady_clock::time_point now = start;
    // The transport's two traffic signals, raised by the benchmark; nothing is ever sent.
    serial::FakeTransport line;
    app::TrafficMonitor traffic(nullptr, [&] { return now; });
    traffic.watch(&line);
    app::MonitorWindow window(traffic);
    if (tab != 2)
        window.show();
    if (tab >= 0)
        window.findChild<QTabWidget *>(QStringLiteral("tabs"))->setCurrentIndex(tab == 1 ? 1 : 0);

    const modbus::RequestFrame query = modbus::readRequest(1, 0, 15);
    const QByteArray request(reinterpret_cast<const char *>(query.data()),
                             static_cast<qsizetype>(query.size()));
    const long reportEvery = std::max(1L, exchanges / 12);
    long rssWhenFull = -1;
    const long fullAt = static_cast<long>(monitor::kRecordCapacity) / 2; // two frames each
    std::printf("%10s %12s %10s %10s\n", "exchanges", "polled (min)", "VmRSS kB", "frames");
    const double cpuStart = cpuSeconds();
    for (long i = 0; i < exchanges; ++i) {
        now = start + milliseconds(50 * i);
        emit line.sent(request, now);
        // A 35-byte answer arriving in two pieces, 20 ms after the request.
        const QByteArray answer = answerWithValue(200 + static_cast<int>(i % 600) / 10);
        emit line.received(answer.left(16), now + milliseconds(12));
        emit line.received(answer.mid(16), now + milliseconds(20));
        now += milliseconds(45);
        // The 50 ms batch timer. The window shows what came on its own tick, four times a
        // second of real time, so it paints only now and then in a fed hour.
        traffic.flush();
        QCoreApplication::processEvents();
        if ((i + 1) % reportEvery == 0 || i + 1 == exchanges) {
            const long rss = statusKb("VmRSS:");
            std::printf("%10ld %12.1f %10ld %10zu\n", i + 1, (i + 1) * 0.05 / 60.0, rss,
                        traffic.record().size());
        }
        if (i + 1 == fullAt)
            rssWhenFull = statusKb("VmRSS:");
        // Halfway, the trend tab is shown for the rest of the run.
        if (tab < 0 && i == exchanges / 2)
            window.findChild<QTabWidget *>(QStringLiteral("tabs"))->setCurrentIndex(1);
    }
    const double cpu = cpuSeconds() - cpuStart;
    // One real tick at the end, so the window has painted the full record or trend before the
    // peak is read.
    QElapsedTimer tick;
    tick.start();
    while (tick.elapsed() < 400)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double polled = exchanges * 0.05;
    const long rssEnd = statusKb("VmRSS:");
    std::printf("\npeak resident memory (VmHWM): %ld kB\n", statusKb("VmHWM:"));
    if (rssWhenFull > 0)
        std::printf("resident when the record became full: %ld kB, at the end: %ld kB (%+ld kB)\n",
                    rssWhenFull, rssEnd, rssEnd - rssWhenFull);
    std::printf("CPU of the monitor's own work: %.2f s for %.0f s of polling = %.3f%% of a core\n",
                cpu, polled, 100.0 * cpu / polled);
    return 0;
}
