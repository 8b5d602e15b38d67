// The tool's files as a Windows user keeps them: in folders with Chinese names, opened by
// Notepad and Excel.
#include "commissioning/parameter_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(WindowsFiles, ParameterFileInAChineseFolderHasCrlfAndReadsBack)
{
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    const QString folder = temporary.filePath(QStringLiteral("现场调试 一号站"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/变压器参数.txt");

    commissioning::ParameterSet set;
    set.identification = QStringLiteral("RX904-V1.00");
    set.station = 7;
    set.date = QStringLiteral("2026-12-08 09:00");
    set.toolVersion = QStringLiteral("1.0");
    set.raw = {235, 1000, 0, 700, 12, 0, 65531, 2, 9600, 7, 40000, 0, 1000, 0, 5};
    ASSERT_EQ(commissioning::saveParameterFile(path, set), QString());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    EXPECT_GT(bytes.count("\r\n"), 15);
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << "every line ends in CRLF";

    const commissioning::LoadResult loaded = commissioning::loadParameterFile(path);
    ASSERT_TRUE(loaded.set.has_value()) << loaded.error.toStdString();
    EXPECT_EQ(loaded.set->raw, set.raw);
    EXPECT_EQ(loaded.set->station, 7);
}

} // namespace
