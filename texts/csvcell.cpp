#include "texts/csvcell.h"

namespace lunex {
namespace {

// Where the apostrophes a text begins with end: a formula's start there is
// what a spreadsheet would take for one once the guard is gone.
bool NeedsGuard(QStringView text) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'') {
        ++i;
    }
    return i < text.size() && formulaStarts.contains(text[i]);
}

} // namespace

QString FormulaGuarded(QString text) {
    if (NeedsGuard(text)) {
        text.prepend(u'\'');
    }
    return text;
}

QString FormulaUnguarded(QString cell) {
    if (cell.startsWith(u'\'') && NeedsGuard(QStringView(cell).mid(1))) {
        cell.remove(0, 1);
    }
    return cell;
}

// One pass: QString::replace moves the rest of the text for every batch of
// quotes it doubles, which a cell of millions of quotes makes quadratic.
QString CsvQuoted(QStringView cell, QChar separator) {
    bool needsQuotes = false;
    qsizetype quotes = 0;
    for (const QChar c : cell) {
        quotes += c == u'"';
        needsQuotes = needsQuotes || c == separator || c == u'"' || c == u'\n' || c == u'\r';
    }
    if (!needsQuotes) {
        return cell.toString();
    }
    QString quoted;
    quoted.reserve(cell.size() + quotes + 2);
    quoted += u'"';
    for (const QChar c : cell) {
        quoted += c;
        if (c == u'"') {
            quoted += c;
        }
    }
    quoted += u'"';
    return quoted;
}

QString CsvTextCell(QString cell, QChar separator) {
    return CsvQuoted(FormulaGuarded(std::move(cell)), separator);
}

} // namespace lunex
