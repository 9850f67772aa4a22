#pragma once

// The lists of new moons the benchmarks open: a heading and `entries` dates a
// lunation apart from 1900, written by the store's own list writer.

#include <QDate>
#include <QDateTime>
#include <QStringList>
#include <QTime>

namespace lunex::bench {

inline QStringList BenchListLines(int entries) {
    QStringList lines{QStringLiteral("Újholdak")};
    lines.reserve(entries + 1);
    QDateTime t(QDate(1900, 1, 1), QTime(12, 0), Qt::UTC);
    for (int i = 0; i < entries; ++i) {
        lines.append(t.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        t = t.addSecs(2551443); // a mean lunation, to the second
    }
    return lines;
}

} // namespace lunex::bench
