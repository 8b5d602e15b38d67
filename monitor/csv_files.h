#pragma once
#include "exchange_monitor.h"
#include "history.h"

#include <QDateTime>
#include <QFile>
#include <QString>

namespace monitor {

// Moments of the steady clock as wall-clock time, from one pair of readings taken together.
class WallClock
{
public:
    WallClock(TimePoint steadyNow, QDateTime wallNow)
        : m_steady(steadyNow), m_wall(std::move(wallNow))
    {
    }
    [[nodiscard]] QDateTime at(TimePoint moment) const;

private:
    TimePoint m_steady;
    QDateTime m_wall;
};

// "2026-12-08 09:24:26.468": local time as a spreadsheet reads a date and time, with the
// offset from UTC ("UTC+08:00") in a column of its own, since a file may span a change of it.
[[nodiscard]] QString localTimeText(const QDateTime &time);
[[nodiscard]] QString utcOffsetText(const QDateTime &time);

// A text cell: always quoted, and a leading =, +, -, @, tab or carriage return gets an
// apostrophe first, so a spreadsheet shows the text instead of running it as a formula.
[[nodiscard]] QString csvText(const QString &text);
// A plain decimal number ("-0.1", "800") stays bare so it stays a number; anything else
// is a text cell.
[[nodiscard]] QString csvCell(const QString &text);

// The direction and verdict as the files write them, in the same words in every language.
[[nodiscard]] QString directionText(Direction direction);
[[nodiscard]] QString verdictText(Verdict verdict);
// The same words in the language of this run, for people to read.
[[nodiscard]] QString directionWords(Direction direction);
[[nodiscard]] QString verdictWords(Verdict verdict);
[[nodiscard]] QString hexText(const Bytes &bytes);

[[nodiscard]] QString recordCsvHeader();
[[nodiscard]] QString recordCsvLine(const Frame &frame, const QDateTime &time);
[[nodiscard]] QString valueCsvHeader();
[[nodiscard]] QString valueCsvLine(const Sample &sample, const QDateTime &time);

// Writes the whole record as CSV (UTF-8 with a byte-order mark, so spreadsheets read the
// Chinese words); an empty text on success, otherwise the reason in the window's words.
[[nodiscard]] QString saveRecordCsv(const QString &path, const Record &record,
                                    const WallClock &clock);

// One CSV line per query answer, flushed as it is written, so a crash or a pulled plug
// loses nothing written so far. Keeps nothing but the open file.
class ValueLog
{
public:
    // An empty text on success, otherwise the reason.
    [[nodiscard]] QString start(const QString &path);
    [[nodiscard]] QString write(const Sample &sample, const QDateTime &time);
    // A comment line for an event of the line ("# 2026-12-08 09:24:26.468 串口断开：…").
    [[nodiscard]] QString note(const QString &text, const QDateTime &time);
    void stop();
    [[nodiscard]] bool running() const { return m_file.isOpen(); }
    [[nodiscard]] QString path() const { return m_file.fileName(); }

private:
    QString writeLine(const QString &line);
    QFile m_file;
};

} // namespace monitor
