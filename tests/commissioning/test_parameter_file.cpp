#include "commissioning/parameter_file.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using commissioning::parseParameterFile;

namespace {

commissioning::ParameterSet sample()
{
    commissioning::ParameterSet set;
    set.identification = QStringLiteral("RX904-V1.00");
    set.station = 3;
    set.date = QStringLiteral("2026-12-07 18:00");
    set.toolVersion = QStringLiteral("1.0");
    set.raw = {235, 1000, 0, 700, 12, 0, 65531, 2, 9600, 3, 40000, 0, 1000, 0, 5};
    return set;
}

TEST(ParameterFile, ReadsBackWhatItWrites)
{
    const auto loaded = parseParameterFile(parameterFileText(sample()).toUtf8());
    ASSERT_TRUE(loaded.set) << loaded.error.toStdString();
    EXPECT_EQ(loaded.set->raw, sample().raw);
    EXPECT_EQ(loaded.set->identification, sample().identification);
    EXPECT_EQ(loaded.set->station, 3);
    EXPECT_TRUE(parameterFileText(sample()).contains(
        QStringLiteral("参数 = 校 正 值 | 6 / 0x0A06 | -5 | 65531")));
    // Files that name the read register alone load as before.
    QString older = parameterFileText(sample());
    older.replace(QRegularExpression(QStringLiteral(" / 0x0A[0-9A-F]{2} ")), QStringLiteral(" "));
    ASSERT_TRUE(older.contains(QStringLiteral("参数 = 校 正 值 | 6 | -5 | 65531")));
    const auto olderLoaded = parseParameterFile(older.toUtf8());
    ASSERT_TRUE(olderLoaded.set) << olderLoaded.error.toStdString();
    EXPECT_EQ(olderLoaded.set->raw, sample().raw);
}

struct BadLine
{
    const char *name;
    const char *from;
    const char *to;
    const char *error;
};

void PrintTo(const BadLine &c, std::ostream *os)
{
    *os << c.name;
}

class ParameterFileBadLine : public ::testing::TestWithParam<BadLine>
{
};

// One line changed in a good file: the whole file is refused and the line named.
TEST_P(ParameterFileBadLine, IsRefusedWhole)
{
    const BadLine &c = GetParam();
    QString text = parameterFileText(sample());
    ASSERT_TRUE(text.contains(QString::fromUtf8(c.from)));
    text.replace(QString::fromUtf8(c.from), QString::fromUtf8(c.to));
    const auto loaded = parseParameterFile(text.toUtf8());
    EXPECT_FALSE(loaded.set);
    EXPECT_EQ(loaded.error, QString::fromUtf8(c.error));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParameterFileBadLine,
    testing::Values(
        BadLine{"Version", "版本 1", "版本 2", "第 1 行：文件版本“2”不受支持，本工具读取版本 1"},
        BadLine{"ControlModeAboveTwo", "控制模式 | 7 / 0x0A08 | 2 | 2",
                "控制模式 | 7 / 0x0A08 | 5 | 5", "第 15 行：你输入的值有误，正确的值范围为0-2!"},
        BadLine{"SpeedNotOffered", "波特率 | 8 / 0x0A0A | 9600 | 9600",
                "波特率 | 8 / 0x0A0A | 9601 | 9601",
                "第 16 行：你输入的值有误，正确的值范围为2400,4800,9600,19200或38400!"},
        BadLine{"CalibrationOutOfRange", "校 正 值 | 6 / 0x0A06 | -5 | 65531",
                "校 正 值 | 6 / 0x0A06 | -500 | 65036",
                "第 14 行（校 正 值）：-500 超出范围 -99 到 99"},
        BadLine{"Fraction", "报警高值 | 3 / 0x0A00 | 700 | 700",
                "报警高值 | 3 / 0x0A00 | 12.5 | 12", "第 11 行（报警高值）：12.5 不是整数"},
        BadLine{"ShownAndRawDisagree", "报警高值 | 3 / 0x0A00 | 700 | 700",
                "报警高值 | 3 / 0x0A00 | 700 | 701", "第 11 行：显示值与原始值不一致"},
        BadLine{"WrongRegister", "报警高值 | 3 / 0x0A00", "报警高值 | 3 / 0x0A02",
                "第 11 行：“报警高值”的寄存器应为 3 / 0x0A00"},
        BadLine{"RowsOutOfOrder", "报警低值 |", "报警高值 |", "第 12 行：此处应为参数“报警低值”"},
        BadLine{"Letters", "电压高值 | 10 / 0x0A0E | 40000", "电压高值 | 10 / 0x0A0E | 4OOOO",
                "第 18 行：你输入的值有误，请输入0-9的数据，不能含字母！"}),
    [](const testing::TestParamInfo<BadLine> &info) { return std::string(info.param.name); });

} // namespace
