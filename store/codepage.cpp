#include "store/codepage.h"

#include <QHash>
#include <QStringDecoder>

#include <array>

namespace lunex {
namespace {

// The mapping comes from Qt's ICU-backed converter; we only cache it as two
// tables because the list file may hold a million lines and a table lookup per
// byte is far cheaper than a converter call per line.
struct Tables {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;

    Tables() {
        QStringDecoder decoder("windows-1250");
        if (!decoder.isValid()) {
            qFatal("Qt has no windows-1250 converter (Qt built without ICU?)");
        }
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            // A byte that the code page leaves undefined decodes to itself.
            const char16_t u = s.size() == 1 ? s.at(0).unicode() : char16_t(b);
            toUnicode[std::size_t(b)] = u;
            fromUnicode.insert(u, byte);
        }
    }
};

const Tables &CodeTables() {
    static const Tables t;
    return t;
}

// A space the code page lacks: every Unicode space separator, the line and
// paragraph separators and the zero-width spaces.
bool IsForeignSpace(QChar c) {
    return c.isSpace() || c == QChar(0xFEFF) || c == QChar(0x200B);
}

} // namespace

QString DecodeAnsi(QByteArrayView bytes) {
    const auto &map = CodeTables().toUnicode;
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char c : bytes) {
        *dst++ = QChar(map[static_cast<unsigned char>(c)]);
    }
    return out;
}

QByteArray EncodeAnsi(QStringView text) {
    const auto &map = CodeTables().fromUnicode;
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i; // one character outside the BMP becomes one '?'
            out.append('?');
            continue;
        }
        const auto it = map.constFind(c.unicode());
        if (it != map.constEnd()) {
            out.append(*it);
        } else if (IsForeignSpace(c)) {
            // Pasted times often carry a narrow or other Unicode space; the
            // conversion reads it as a blank, so a blank keeps the date.
            out.append(' ');
        } else {
            out.append('?');
        }
    }
    return out;
}

QString DecodeTextFile(QByteArrayView bytes) {
    const bool marked = bytes.startsWith("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes.sliced(marked ? 3 : 0));
    return marked || !utf8.hasError() ? text : DecodeAnsi(bytes);
}

} // namespace lunex
