#include "sim/sim_process.h"
#include "support/child_process.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using Lines = std::vector<QJsonObject>;

// One run of rx904ctl with --format json: its exit status and every line it printed, each
// checked to be one JSON object of format version 1. Chinese unless told, whatever the
// desktop's language.
struct CtlRun
{
    int status = -1;
    Lines lines;
    QByteArray bytes;
};

CtlRun runCtl(const QTemporaryDir &dir, std::vector<std::string> arguments,
              const char *language = "zh")
{
    arguments.insert(arguments.begin(),
                     {RX904CTL_PATH, "--format", "json", "--language", language});
    const QString out = dir.filePath(QStringLiteral("out.jsonl"));
    testing_support::ChildProcess child;
    std::string error;
    CtlRun run;
    if (!child.start({arguments, {}, out.toStdString(), true}, error)) {
        ADD_FAILURE() << error;
        return run;
    }
    run.status = child.wait(simtest::kPatienceMs * 3).value_or(-1);
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly))
        return run;
    run.bytes = file.readAll();
    for (const QByteArray &line : run.bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonDocument document = QJsonDocument::fromJson(line);
        EXPECT_TRUE(document.isObject()) << line.toStdString();
        EXPECT_EQ(document.object().value(QStringLiteral("version")).toInt(), 1);
        run.lines.push_back(document.object());
    }
    return run;
}

// A simulated device with its event log; its port as rx904ctl opens it.
struct Device
{
    simtest::SimProcess sim;
    QString log;

    [[nodiscard]] bool start(const QTemporaryDir &dir, std::vector<std::string> options,
                             bool tcp = false)
    {
        static int count = 0;
        log = dir.filePath(QStringLiteral("sim%1.log").arg(++count));
        options.insert(options.end(), {"--log", log.toStdString()});
        if (tcp)
            options.insert(options.end(), {"--tcp", "127.0.0.1:0"});
        std::string error;
        if (!sim.start(options, error)) {
            ADD_FAILURE() << error;
            return false;
        }
        return true;
    }
    [[nodiscard]] std::string port() const { return sim.path(); }
    // The requests the device received, as its log names them: bytes on the wire. The device
    // stops first, which writes out its log.
    [[nodiscard]] QByteArray requests()
    {
        sim.signal(SIGTERM);
        EXPECT_EQ(sim.waitForExit(), 0);
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QByteArray found;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (const qsizetype at = line.indexOf(" request "); at >= 0)
                found += line.mid(at + 9) + ' ';
        }
        return found;
    }
};

QJsonObject rowOf(const QJsonObject &line, const QString &key)
{
    for (const QJsonValue &row : line.value(QStringLiteral("rows")).toArray()) {
        if (row[QStringLiteral("key")].toString() == key)
            return row.toObject();
    }
    return {};
}

struct CtlCase
{
    const char *name;
    std::vector<std::string> sim;
    bool tcp;
    std::vector<std::string> ctl; // "PORT" stands for the device's port
    int status;
    // A request the device must have received (hex), or nullptr when none may be sent.
    const char *wire;
    std::function<void(const Lines &)> check;
};

void PrintTo(const CtlCase &c, std::ostream *os)
{
    *os << c.name;
}

const CtlCase kCases[] = {
    {"ReadOverPty",
     {"--register", "3=321"},
     false,
     {"--port", "PORT", "read"},
     0,
     "01030000000F05CE",
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 1U);
         const QJsonArray values = lines[0][QStringLiteral("values")].toArray();
         ASSERT_EQ(values.size(), 15);
         EXPECT_EQ(values[3][QStringLiteral("key")].toString(), QStringLiteral("alarm_high"));
         EXPECT_EQ(values[3][QStringLiteral("name")].toString(), QStringLiteral("报警高值"));
         EXPECT_EQ(values[3][QStringLiteral("raw")].toInt(), 321);
         EXPECT_EQ(values[8][QStringLiteral("unit")].toString(), QStringLiteral("bit/s"));
         EXPECT_EQ(lines[0][QStringLiteral("discarded_bytes")].toInt(), 0);
     }},
    {"IdentOverTcp",
     {"--ident", "RX904-T01"},
     true,
     {"--port", "PORT", "ident"},
     0,
     nullptr,
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 1U);
         EXPECT_EQ(lines[0][QStringLiteral("identification")].toString(),
                   QStringLiteral("RX904-T01"));
     }},
    {"WriteReadBack",
     {},
     false,
     {"--port", "PORT", "write", "alarm_high=5", "校正值=-5"},
     0,
     "01060A06FFFB",
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 1U);
         EXPECT_EQ(rowOf(lines[0], QStringLiteral("alarm_high"))[QStringLiteral("state")],
                   QStringLiteral("verified"));
         const QJsonObject calibration = rowOf(lines[0], QStringLiteral("calibration"));
         EXPECT_EQ(calibration[QStringLiteral("state")], QStringLiteral("verified"));
         EXPECT_EQ(calibration[QStringLiteral("device")].toInt(), -5);
     }},
    {"RefusedWrite",
     {"--refuse-write", "0x0A00"},
     false,
     {"--port", "PORT", "write", "0x0A00=5"},
     3,
     "01060A000005",
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 1U);
         EXPECT_EQ(rowOf(lines[0], QStringLiteral("alarm_high"))[QStringLiteral("state")],
                   QStringLiteral("failed"));
         EXPECT_EQ(lines[0][QStringLiteral("exit_status")].toInt(), 3);
     }},
    {"Silence",
     {"--fault", "silent"},
     false,
     {"--port", "PORT", "read"},
     1,
     "01030000000F05CE",
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 1U);
         EXPECT_EQ(lines[0][QStringLiteral("outcome")], QStringLiteral("timed_out"));
         EXPECT_FALSE(lines[0].contains(QStringLiteral("values")));
     }},
    // No value of a corrupt answer is ever reported as good.
    {"BadCrc",
     {"--fault", "bad-crc"},
     false,
     {"--port", "PORT", "watch", "--period", "100", "--count", "2"},
     1,
     nullptr,
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 2U);
         for (const QJsonObject &line : lines) {
             EXPECT_FALSE(line[QStringLiteral("ok")].toBool());
             EXPECT_EQ(line[QStringLiteral("outcome")], QStringLiteral("bad_crc"));
             EXPECT_FALSE(line.contains(QStringLiteral("values")));
         }
     }},
    // Every frame as it was judged: the request, then the corrupt answer named so.
    {"MonitorBadCrc",
     {"--fault", "bad-crc"},
     false,
     {"--port", "PORT", "monitor", "--count", "1"},
     1,
     "01030000000F05CE",
     [](const Lines &lines) {
         // The try and its retry.
         ASSERT_EQ(lines.size(), 4U);
         for (std::size_t k = 0; k < lines.size(); k += 2) {
             EXPECT_EQ(lines[k][QStringLiteral("direction")], QStringLiteral("sent"));
             EXPECT_EQ(lines[k][QStringLiteral("bytes")],
                       QStringLiteral("01 03 00 00 00 0F 05 CE"));
             EXPECT_EQ(lines[k + 1][QStringLiteral("direction")], QStringLiteral("received"));
             EXPECT_EQ(lines[k + 1][QStringLiteral("verdict")], QStringLiteral("bad_crc"));
         }
     }},
    {"MonitorSilence",
     {"--fault", "silent"},
     false,
     {"--port", "PORT", "monitor", "--count", "1"},
     1,
     "01030000000F05CE",
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 4U);
         EXPECT_EQ(lines[1][QStringLiteral("verdict")], QStringLiteral("no_answer"));
         EXPECT_EQ(lines[3][QStringLiteral("verdict")], QStringLiteral("no_answer"));
     }},
    // An answer later than the time-out is dropped, never taken for the next request's.
    {"LateAnswersDropped",
     {"--fault", "late=250"},
     false,
     {"--port", "PORT", "watch", "--period", "100", "--count", "2"},
     1,
     nullptr,
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 2U);
         for (const QJsonObject &line : lines)
             EXPECT_FALSE(line[QStringLiteral("ok")].toBool());
         EXPECT_GT(lines.back()[QStringLiteral("discarded_bytes")].toInt(), 0);
     }},
    {"FindUnknownSpeedAndStation",
     {"--baud", "19200", "--station", "37", "--ident", "RX904-K37"},
     false,
     {"--port", "PORT", "find"},
     0,
     "FA0300000001",
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 1U);
         EXPECT_EQ(lines[0][QStringLiteral("baud")].toInt(), 19200);
         EXPECT_EQ(lines[0][QStringLiteral("station")].toInt(), 37);
         EXPECT_EQ(lines[0][QStringLiteral("identification")], QStringLiteral("RX904-K37"));
     }},
    {"OutOfRange", {}, false, {"--port", "PORT", "write", "alarm_high=1000"}, 2, nullptr, {}},
    {"Fraction", {}, false, {"--port", "PORT", "write", "calibration=-5.5"}, 2, nullptr, {}},
    {"UnknownParameter", {}, false, {"--port", "PORT", "write", "alarm=5"}, 2, nullptr, {}},
    {"UnknownOption", {}, false, {"--port", "PORT", "--colour", "read"}, 2, nullptr, {}},
    {"UnreadableFile",
     {},
     false,
     {"--port", "PORT", "load", "/nonexistent/rx904.txt"},
     6,
     nullptr,
     {}},
    {"PortWillNotOpen",
     {},
     false,
     {"--port", "/dev/rx904-none", "read"},
     5,
     nullptr,
     [](const Lines &lines) {
         ASSERT_EQ(lines.size(), 1U);
         EXPECT_EQ(lines[0][QStringLiteral("outcome")], QStringLiteral("not_opened"));
         EXPECT_FALSE(lines[0][QStringLiteral("reason")].toString().isEmpty());
     }},
};

class CtlTest : public ::testing::TestWithParam<CtlCase>
{
};

TEST_P(CtlTest, ExitsAndPrintsAsTheDeviceAnswers)
{
    const CtlCase &c = GetParam();
    QTemporaryDir dir;
    Device device;
    ASSERT_TRUE(device.start(dir, c.sim, c.tcp));
    std::vector<std::string> arguments = c.ctl;
    for (std::string &argument : arguments) {
        if (argument == "PORT")
            argument = device.port();
    }
    const CtlRun run = runCtl(dir, arguments);
    EXPECT_EQ(run.status, c.status);
    if (c.wire) {
        EXPECT_TRUE(device.requests().contains(c.wire)) << device.requests().toStdString();
    } else if (c.status == 2 || c.status == 6) {
        EXPECT_TRUE(device.requests().isEmpty()) << device.requests().toStdString();
    }
    if (c.check)
        c.check(run.lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, CtlTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

// A device's parameters saved, then loaded onto another device and checked there.
TEST(CtlFiles, SaveLoadCheckRoundTrip)
{
    QTemporaryDir dir;
    Device source;
    Device target;
    ASSERT_TRUE(source.start(dir, {"--register", "3=700", "--register", "6=-7"}));
    ASSERT_TRUE(target.start(dir, {}, true));
    const std::string file = dir.filePath(QStringLiteral("rx904.txt")).toStdString();
    EXPECT_EQ(runCtl(dir, {"--port", source.port(), "save", file}).status, 0);
    EXPECT_EQ(runCtl(dir, {"--port", target.port(), "check", file}).status, 4);

    const CtlRun load = runCtl(dir, {"--port", target.port(), "load", file});
    EXPECT_EQ(load.status, 0);
    ASSERT_EQ(load.lines.size(), 1U);
    EXPECT_EQ(rowOf(load.lines[0], QStringLiteral("calibration"))[QStringLiteral("state")],
              QStringLiteral("verified"));
    EXPECT_EQ(rowOf(load.lines[0], QStringLiteral("alarm_low"))[QStringLiteral("state")],
              QStringLiteral("unchanged"));
    EXPECT_EQ(runCtl(dir, {"--port", target.port(), "check", file}).status, 0);
}

// One file onto several buses at once; a device that goes away mid-load keeps what it had,
// and the rows after it say so.
TEST(CtlFiles, LoadsSeveralDevicesConcurrently)
{
    QTemporaryDir dir;
    Device source;
    ASSERT_TRUE(
        source.start(dir, {"--register", "3=700", "--register", "6=-7", "--register", "10=40000"}));
    const std::string file = dir.filePath(QStringLiteral("rx904.txt")).toStdString();
    ASSERT_EQ(runCtl(dir, {"--port", source.port(), "save", file}).status, 0);

    // Two ports on the command line, two from a file as a production line keeps them.
    std::vector<std::unique_ptr<Device>> devices;
    std::vector<std::string> arguments;
    QFile portsFile(dir.filePath(QStringLiteral("ports.txt")));
    ASSERT_TRUE(portsFile.open(QIODevice::WriteOnly));
    portsFile.write("# bench 2\n");
    for (int k = 0; k < 4; ++k) {
        devices.push_back(std::make_unique<Device>());
        ASSERT_TRUE(devices.back()->start(dir, {}, k == 3));
        if (k < 2)
            arguments.insert(arguments.end(), {"--port", devices.back()->port()});
        else
            portsFile.write(QByteArray::fromStdString(devices.back()->port()) + "\n");
    }
    portsFile.close();
    arguments.insert(arguments.end(), {"--ports-file", portsFile.fileName().toStdString()});
    // Identification, read, the first write: then the device closes its line.
    Device leaving;
    ASSERT_TRUE(leaving.start(dir, {"--close-after-requests", "3"}));
    arguments.insert(arguments.end(), {"--port", leaving.port(), "load", file});

    const CtlRun run = runCtl(dir, arguments);
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 5U);
    for (const QJsonObject &line : run.lines) {
        const bool left = line[QStringLiteral("port")].toString().toStdString() == leaving.port();
        EXPECT_EQ(line[QStringLiteral("exit_status")].toInt(), left ? 1 : 0);
        const QJsonObject last = rowOf(line, QStringLiteral("voltage_high"));
        EXPECT_EQ(last[QStringLiteral("state")],
                  left ? QStringLiteral("not_written") : QStringLiteral("verified"));
        if (left) {
            EXPECT_EQ(last[QStringLiteral("text")], QStringLiteral("未写入"));
        }
    }
    for (const auto &device : devices)
        EXPECT_TRUE(device->requests().contains("01060A0E9C40"));
}

// The language of both programs: --language, else the desktop's (LANG here), Chinese for any
// language but English.
struct LanguageCase
{
    const char *name;
    const char *lang;
    std::vector<std::string> option;
    bool english;
};

void PrintTo(const LanguageCase &c, std::ostream *os)
{
    *os << c.name;
}

const LanguageCase kLanguageCases[] = {
    {"EnglishDesktop", "en_US.UTF-8", {}, true},
    {"ChineseDesktop", "zh_CN.UTF-8", {}, false},
    {"CLocale", "C.UTF-8", {}, false},
    {"GermanDesktop", "de_DE.UTF-8", {}, false},
    {"OptionOverEnglishDesktop", "en_US.UTF-8", {"--language", "zh"}, false},
    {"OptionOverGermanDesktop", "de_DE.UTF-8", {"--language=en"}, true},
};

class LanguageChoice : public ::testing::TestWithParam<LanguageCase>
{
};

TEST_P(LanguageChoice, HelpAndUsageErrorsInTheChosenLanguage)
{
    const LanguageCase &c = GetParam();
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    struct Run
    {
        const char *program;
        std::vector<std::string> command;
        int status;
    };
    const Run runs[] = {{RX904CTL_PATH, {"--help"}, 0},
                        {RX904CTL_PATH, {"read", "extra"}, 2},
                        {RX904_TOOL_PATH, {"--help"}, 0},
                        {RX904_TOOL_PATH, {"--no-such-option"}, 2}};
    for (const auto &[program, command, status] : runs) {
        // LANG alone names the desktop's language; standard error joins standard output.
        std::vector<std::string> arguments{
            "/bin/sh", "-c", R"(unset LC_ALL LC_MESSAGES LANGUAGE; exec "$0" "$@" 2>&1)", program};
        arguments.insert(arguments.end(), c.option.begin(), c.option.end());
        arguments.insert(arguments.end(), command.begin(), command.end());
        testing_support::ChildProcess child;
        std::string error;
        ASSERT_TRUE(child.start({arguments, {{"LANG", c.lang}}, out.toStdString(), false}, error))
            << error;
        EXPECT_EQ(child.wait(simtest::kPatienceMs).value_or(-1), status);
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        const bool chinese = std::any_of(text.cbegin(), text.cend(), [](QChar ch) {
            return ch.unicode() >= 0x4E00 && ch.unicode() <= 0x9FFF;
        });
        EXPECT_EQ(chinese, !c.english) << text.toStdString();
        if (status == 0) {
            EXPECT_TRUE(text.contains(QLatin1String("--language"))) << text.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LanguageChoice, ::testing::ValuesIn(kLanguageCases),
                         [](const auto &info) { return std::string(info.param.name); });

// What programs read is the same in either language: the Chinese captions stay.
TEST(CtlLanguage, JsonTheSameInBothLanguages)
{
    QTemporaryDir dir;
    Device device;
    ASSERT_TRUE(device.start(dir, {"--register", "3=321"}));
    const CtlRun chinese = runCtl(dir, {"--port", device.port(), "read"}, "zh");
    const CtlRun english = runCtl(dir, {"--port", device.port(), "read"}, "en");
    EXPECT_EQ(chinese.status, 0);
    EXPECT_FALSE(chinese.bytes.isEmpty());
    EXPECT_EQ(english.bytes, chinese.bytes);
}

} // namespace
