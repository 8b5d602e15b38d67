// rx904-exchange-cost: what the window's side of one polled exchange costs, apart from the
// serial line. The real widgets (offscreen) receive the updates one query and its answer make
// (the receive box emptied, the cycle counter, the yellow lamp; then the answer's hex, the
// received counter, the green lamp), each half followed by the repaint it causes. Each part
// runs twice: back to back, with every cache warm, and with the pauses of polling at 50 ms
// and 38400 baud between the halves, as the tool really meets them. Prints CPU time per
// exchange; judges nothing. --quick runs a handful of each, to show it works. See
// docs/performance.md.
#include "app/main_window_ui.h"
#include "app/widget_form.h"

#include <QApplication>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace {

using namespace std::chrono_literals;

// One query of 15 registers and its answer, as the window shows them.
const char *const kRequestText = " 01 03 00 00 00 0F 05 CE";
const char *const kAnswerText = " 01 03 1E 00 EB 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 "
                                "08 00 09 00 0A 00 0B 00 0C 00 0D 00 0E 12 34";

// The answer of 35 bytes at 38400 baud comes about 13 ms after the request, the next
// request 37 ms after that.
constexpr auto kUntilAnswer = 13ms;
constexpr auto kUntilNextTick = 37ms;

double threadCpuMicroseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

struct Parts
{
    const char *name;
    bool receiveBox;
    bool counters;
    bool lamps;
};

class Exchanges
{
public:
    Exchanges(app::WidgetForm &form, const Parts &parts) : m_form(form), m_parts(parts) {}

    // CPU microseconds per exchange over count exchanges, pausing between halves or not.
    double run(int count, bool paused)
    {
        double spent = 0.0;
        for (int i = 0; i < count; ++i) {
            spent += half([&] { tick(); });
            if (paused)
                std::this_thread::sleep_for(kUntilAnswer);
            spent += half([&] { answer(); });
            if (paused)
                std::this_thread::sleep_for(kUntilNextTick);
        }
        return spent / count;
    }

private:
    template <typename Update> double half(Update update)
    {
        const double before = threadCpuMicroseconds();
        update();
        QCoreApplication::processEvents();
        return threadCpuMicroseconds() - before;
    }

    void tick()
    {
        ++m_sent;
        if (m_parts.receiveBox)
            m_form.setText(ops::Field::txtState, QString());
        if (m_parts.counters)
            m_form.setText(ops::Field::lblCounter, QString::number(m_sent));
        if (m_parts.lamps)
            m_form.showLamp(ops::Lamp::ImgYellow);
        m_form.setText(ops::Field::txtCommand, QString::fromLatin1(kRequestText));
    }

    void answer()
    {
        if (m_parts.receiveBox)
            m_form.setText(ops::Field::txtState, QString::fromLatin1(kAnswerText));
        if (m_parts.counters)
            m_form.setText(ops::Field::lblErrCounter, QString::number(m_sent));
        if (m_parts.lamps)
            m_form.showLamp(ops::Lamp::imgConnected);
    }

    app::WidgetForm &m_form;
    Parts m_parts;
    int m_sent = 0;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QWidget window;
    app::MainWindowUi ui;
    ui.setupUi(&window);
    app::WidgetForm form(ui);
    window.show();
    QCoreApplication::processEvents();
    // A focused field's blinking cursor would repaint in the pauses; only the exchange counts.
    if (QWidget *focused = QApplication::focusWidget()) {
        std::fprintf(stderr, "rx904-exchange-cost: focus taken from %s\n",
                     qPrintable(focused->objectName()));
        focused->clearFocus();
    }

    constexpr Parts kParts[] = {
        {"all of it", true, true, true},
        {"without the receive box", false, true, true},
        {"the receive box alone", true, false, false},
        {"the counters alone", false, true, false},
        {"the lamps alone", false, false, true},
    };
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    const int warmExchanges = quick ? 20 : 2000;
    const int pausedExchanges = quick ? 3 : 200; // 10 s each
    std::printf("| updates of one exchange | back to back | paused as when polling | CPU at "
                "20 exchanges/s |\n|---|---|---|---|\n");
    for (const Parts &parts : kParts) {
        Exchanges exchanges(form, parts);
        (void)exchanges.run(50, false);
        const double warm = exchanges.run(warmExchanges, false);
        const double paused = exchanges.run(pausedExchanges, true);
        std::printf("| %s | %.0f µs | %.0f µs | %.2f%% |\n", parts.name, warm, paused,
                    paused * 20.0 / 1e4);
        std::fflush(stdout);
    }
    return 0;
}
