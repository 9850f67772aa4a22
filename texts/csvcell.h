#pragma once

#include <QChar>
#include <QString>

namespace lunex {

// A cell of free text (a place's name, a note) for a CSV file that Lunex
// writes, safe to open in a spreadsheet program: a text that begins as a
// formula does (=, +, -, @, or a tab or carriage return before one) gets a
// leading apostrophe, which spreadsheet programs read as "this is text";
// then a cell with the separator, a quote or a line break is quoted, as
// RFC 4180 has it. Numbers Lunex writes itself are no text cells: a negative
// number stays a number.
QString CsvTextCell(QString cell, QChar separator);

} // namespace lunex
