// The parameter file loader on arbitrary bytes. Checked: it gives a set or a refusal, never
// both and never neither; every refusal names a line of the file ("第 n 行：" and a reason,
// n from 1 to the file's last line); and a set it takes, written out again as "保存参数…"
// writes it, loads back to the same set.
#include "commissioning/parameter_file.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QString &error)
{
    std::fprintf(stderr, "parameter file rule broken: %s (%s)\n", what, qPrintable(error));
    std::abort();
}

void require(bool condition, const char *what, const QString &error = {})
{
    if (!condition)
        fail(what, error);
}

// The lines as the loader counts them: the text split at each line feed.
qsizetype lineCount(const QByteArray &bytes)
{
    QString content = QString::fromUtf8(bytes);
    if (content.startsWith(QChar(0xFEFF)))
        content.remove(0, 1);
    return content.count(u'\n') + 1;
}

bool sameSet(const commissioning::ParameterSet &a, const commissioning::ParameterSet &b)
{
    return a.identification == b.identification && a.station == b.station && a.baud == b.baud &&
           a.date == b.date && a.toolVersion == b.toolVersion && a.raw == b.raw;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const commissioning::LoadResult result = commissioning::parseParameterFile(bytes);
    if (!result.set) {
        static const QRegularExpression named(QStringLiteral("^第 (\\d+) 行(（[^）]+）)?：.+"),
                                              QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch match = named.match(result.error);
        require(match.hasMatch(), "refusal that names no line", result.error);
        const qsizetype line = match.captured(1).toLongLong();
        require(line >= 1 && line <= lineCount(bytes), "refusal names a line not in the file",
                result.error);
        return 0;
    }
    require(result.error.isEmpty(), "a set taken with a refusal beside it", result.error);
    const commissioning::LoadResult again =
        commissioning::parseParameterFile(commissioning::parameterFileText(*result.set).toUtf8());
    require(again.set.has_value(), "a set taken is refused once written out", again.error);
    require(sameSet(*again.set, *result.set), "a set written out loads back otherwise");
    return 0;
}
