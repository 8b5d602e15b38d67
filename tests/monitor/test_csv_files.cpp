#include "monitor/csv_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const monitor::TimePoint kStart{};
// 2026-12-07 18:48:12.000 at UTC+8.
const QDateTime kWallStart(QDate(2026, 12, 7), QTime(18, 48, 12), QTimeZone(8 * 3600));

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

monitor::Sample sample(int ms)
{
    monitor::Sample s;
    s.at = kStart + std::chrono::milliseconds(ms);
    s.station = 1;
    s.raw[0] = 65534; // the measured value shows as -0.1
    s.raw[3] = 800;
    s.present = 1 << 0 | 1 << 3;
    return s;
}

TEST(RecordCsv, HeaderAndLinesExactly)
{
    monitor::Record record;
    record.append({
        {kStart + std::chrono::milliseconds(5),
         monitor::Direction::Sent,
         monitor::Verdict::Request,
         {0x01, 0x03, 0x00, 0x00, 0x00, 0x0F, 0x05, 0xCE},
         "读寄存器 站1 起始0 数量15",
         std::nullopt},
        {kStart + std::chrono::milliseconds(47),
         monitor::Direction::Received,
         monitor::Verdict::Complete,
         {0x01, 0x26},
         "应答 设备信息 =1+2\"x\"",
         std::chrono::microseconds(42250)},
        {kStart + std::chrono::milliseconds(1005),
         monitor::Direction::Received,
         monitor::Verdict::NoAnswer,
         {},
         "无应答",
         std::nullopt},
    });
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("记录.csv"));
    ASSERT_EQ(monitor::saveRecordCsv(path, record, monitor::WallClock(kStart, kWallStart)),
              QString());
    const QByteArray expected = kBom +
                                "时间,UTC偏移,方向,长度,含义,响应时间(毫秒),字节,判定\r\n"
                                "2026-12-07 18:48:12.005,UTC+08:00,\"发送\",8,\"读寄存器 站1 "
                                "起始0 数量15\",,\"01 03 00 00 00 0F 05 CE\",\"请求\"\r\n"
                                "2026-12-07 18:48:12.047,UTC+08:00,\"接收\",2,\"应答 设备信息 "
                                "=1+2\"\"x\"\"\",42.3,\"01 26\",\"完整\"\r\n"
                                "2026-12-07 18:48:13.005,UTC+08:00,\"接收\",0,\"无应答\",,"
                                "\"\",\"无应答\"\r\n";
    EXPECT_EQ(fileBytes(path).toStdString(), expected.toStdString());
}

TEST(CsvCells, TextThatLooksLikeAFormulaIsQuotedWithAnApostrophe)
{
    EXPECT_EQ(monitor::csvText(QStringLiteral("=HYPERLINK(\"x\")")),
              QStringLiteral("\"'=HYPERLINK(\"\"x\"\")\""));
    EXPECT_EQ(monitor::csvText(QStringLiteral("@SUM(A1)")), QStringLiteral("\"'@SUM(A1)\""));
    EXPECT_EQ(monitor::csvText(QStringLiteral("+1")), QStringLiteral("\"'+1\""));
    EXPECT_EQ(monitor::csvCell(QStringLiteral("-0.1")), QStringLiteral("-0.1"));
    EXPECT_EQ(monitor::csvCell(QStringLiteral("-1+2")), QStringLiteral("\"'-1+2\""));
}

TEST(ValueLog, EachLineIsOnDiskAsSoonAsItIsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("数值.csv"));
    monitor::ValueLog log;
    ASSERT_EQ(log.start(path), QString());
    const QByteArray header = monitor::valueCsvHeader().toUtf8();
    EXPECT_TRUE(header.startsWith("时间,UTC偏移,站号,测量值,测量值 寄存器值,原始电压值,"));
    EXPECT_EQ(fileBytes(path), kBom + header + "\r\n");

    const monitor::WallClock clock(kStart, kWallStart);
    ASSERT_EQ(log.write(sample(250), clock.at(sample(250).at)), QString());
    const QByteArray line = "2026-12-07 18:48:12.250,UTC+08:00,1,-0.1,65534,,,,,800,800" +
                            QByteArray(",,").repeated(11) + "\r\n";
    // Read by another handle while the log is still open: nothing waits in a buffer.
    EXPECT_EQ(fileBytes(path).toStdString(), (kBom + header + "\r\n" + line).toStdString());
    log.stop();
}

TEST(CsvFiles, AFileThatCannotBeOpenedGetsAClearMessage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("没有的文件夹/数值.csv"));
    monitor::ValueLog log;
    const QString reason = log.start(path);
    EXPECT_TRUE(reason.startsWith(QStringLiteral("无法写入文件“%1”：").arg(path)))
        << reason.toStdString();
    EXPECT_FALSE(log.running());
    EXPECT_TRUE(
        monitor::saveRecordCsv(path, monitor::Record(), monitor::WallClock(kStart, kWallStart))
            .startsWith(QStringLiteral("无法写入文件")));
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
