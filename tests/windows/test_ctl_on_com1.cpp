// rx904ctl.exe on Windows' COM1 (rx904-sim behind wine's port registry): its Win32 transport
// reads the device, and a port Windows does not have gives exit status 5 with its cause.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CtlRun
{
    int status = -1;
    QByteArray out;
    QString error;
};

CtlRun rx904ctl(const QStringList &arguments)
{
    QProcess ctl;
    ctl.start(QDir::toNativeSeparators(QStringLiteral("Z:" RX904CTL_EXE)), arguments);
    CtlRun run;
    if (!ctl.waitForFinished(60000))
        return run;
    run.status = ctl.exitCode();
    run.out = ctl.readAllStandardOutput();
    run.error = QString::fromLocal8Bit(ctl.readAllStandardError());
    return run;
}

TEST(CtlOnCom1, ReadsTheFifteenValuesAsJson)
{
    const CtlRun run = rx904ctl({"--port", "COM1", "--format", "json", "read"});
    ASSERT_EQ(run.status, 0) << run.error.toStdString();
    const QJsonObject answer = QJsonDocument::fromJson(run.out).object();
    const QJsonArray values = answer.value("values").toArray();
    ASSERT_EQ(values.size(), 15) << run.out.toStdString();
    // with-com-ports.sh sets register 0 to 235.
    EXPECT_EQ(values[0].toObject().value("key").toString(), "measured_value");
    EXPECT_EQ(values[0].toObject().value("raw").toInt(), 235);
    EXPECT_EQ(values[3].toObject().value("value").toInt(), 800);
}

TEST(CtlOnCom1, APortWindowsDoesNotHaveExitsWithItsCause)
{
    const CtlRun run = rx904ctl({"--port", "COM9", "--language", "en", "read"});
    EXPECT_EQ(run.status, 5);
    EXPECT_TRUE(run.error.contains("COM9")) << run.error.toStdString();
}

} // namespace
