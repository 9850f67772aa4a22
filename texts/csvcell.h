#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace lunex {

// Free text (a place's name, a note) in a CSV file that Lunex writes, safe to
// open in a spreadsheet program: a text that begins as a formula does (=, +,
// -, @, or a tab or carriage return before one), after any apostrophes it
// begins with, gets one apostrophe more in front, which spreadsheet programs
// read as "this is text". Counting the apostrophes already there makes the
// guard reversible: FormulaUnguarded takes off exactly the one added, so a
// typed "'=1" is written "''=1" and reads back as typed. Numbers Lunex writes
// itself are no text: a negative number stays a number.
QString FormulaGuarded(QString text);
QString FormulaUnguarded(QString cell);

// A cell quoted as RFC 4180 has it where it holds the separator, a quote or a
// line break: in quotes, each quote doubled.
QString CsvQuoted(QStringView cell, QChar separator);

// Free text as a whole cell: guarded, then quoted.
QString CsvTextCell(QString cell, QChar separator);

} // namespace lunex
