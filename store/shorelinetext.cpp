#include "store/shorelinetext.h"

#include <QLocale>

#include <cmath>

namespace lunex {
namespace {

constexpr char Letters[] = {'C', 'L', 'B'}; // by ShoreKind

std::optional<ShoreKind> KindOf(QByteArrayView letter) {
    for (int kind = 0; kind < int(std::size(Letters)); ++kind) {
        if (letter == QByteArrayView(&Letters[kind], 1)) {
            return ShoreKind(kind);
        }
    }
    return std::nullopt;
}

// One shore line's text, without its line break.
std::optional<ShoreLine> ReadLine(QByteArrayView text) {
    const qsizetype blank = text.indexOf(' ');
    const std::optional<ShoreKind> kind = KindOf(text.first(blank < 0 ? text.size() : blank));
    if (!kind || blank < 0) {
        return std::nullopt;
    }
    ShoreLine line{*kind, {}};
    std::optional<double> longitude;
    for (qsizetype at = blank + 1; at <= text.size();) {
        qsizetype end = text.indexOf(' ', at);
        end = end < 0 ? text.size() : end;
        bool ok = false;
        const double value = text.sliced(at, end - at).toDouble(&ok);
        if (!ok || end == at || !std::isfinite(value)) {
            return std::nullopt;
        }
        if (!longitude) {
            longitude = value;
        } else if (std::abs(*longitude) <= 720 && std::abs(value) <= 90) {
            line.points.append({*longitude, value});
            longitude.reset();
        } else {
            return std::nullopt;
        }
        at = end + 1;
    }
    return !longitude && line.points.size() >= 2 ? std::optional(std::move(line)) : std::nullopt;
}

} // namespace

QByteArray ShoreLinesText(const std::vector<ShoreLine> &lines) {
    QByteArray text;
    for (const ShoreLine &line : lines) {
        text += Letters[int(line.kind)];
        for (const QPointF &point : line.points) {
            for (const double value : {point.x(), point.y()}) {
                text += ' ';
                text += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
            }
        }
        text += '\n';
    }
    return text + "end " + QByteArray::number(qulonglong(lines.size())) + '\n';
}

std::optional<std::vector<ShoreLine>> ReadShoreLinesText(QByteArrayView text) {
    std::vector<ShoreLine> lines;
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype end = text.indexOf('\n', at);
        if (end < 0) {
            return std::nullopt;
        }
        const QByteArrayView line = text.sliced(at, end - at);
        if (line.startsWith("end ")) {
            bool ok = false;
            const qulonglong count = line.sliced(4).toULongLong(&ok);
            return ok && count == lines.size() && end + 1 == text.size()
                       ? std::optional(std::move(lines))
                       : std::nullopt;
        }
        std::optional<ShoreLine> read = ReadLine(line);
        if (!read) {
            return std::nullopt;
        }
        lines.push_back(std::move(*read));
        at = end + 1;
    }
    return std::nullopt;
}

} // namespace lunex
