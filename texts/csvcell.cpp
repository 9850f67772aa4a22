#include "texts/csvcell.h"

namespace lunex {

QString CsvTextCell(QString cell, QChar separator) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!cell.isEmpty() && formulaStarts.contains(cell.front())) {
        cell.prepend(u'\'');
    }
    if (cell.contains(separator) || cell.contains(u'"') || cell.contains(u'\n') ||
        cell.contains(u'\r')) {
        cell = u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
    }
    return cell;
}

} // namespace lunex
