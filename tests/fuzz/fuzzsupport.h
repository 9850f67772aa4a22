#pragma once

// What the fuzz targets share: the locales a text is read in, the data files
// an input is written to, and a check that stops the run with a report
// (libFuzzer saves the input that did it).

#include "fakes.h"

#include <QByteArrayView>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>

namespace lunex::fuzz {

// Locales whose printed dates and numbers must read back.
inline QLocale PickLocale(std::uint8_t selector) {
    static const QLocale locales[] = {
        QLocale::c(),
        QLocale(QLocale::Hungarian, QLocale::Hungary),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::English, QLocale::UnitedKingdom),
    };
    return locales[selector % std::size(locales)];
}

// The input as raw bytes.
inline QByteArrayView Bytes(const std::uint8_t *data, std::size_t size) {
    return QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A field's text after one selector byte: the locale it is read in, and
// whether the text is typed (UTF-8) or stored (Windows-1250, bit 3).
struct FieldInput {
    QLocale locale;
    bool stored = false;
    QByteArrayView text;
};
inline std::optional<FieldInput> SplitSelector(const std::uint8_t *data, std::size_t size) {
    if (size == 0) {
        return std::nullopt;
    }
    return FieldInput{PickLocale(data[0]), (data[0] / 8) % 2 == 1, Bytes(data + 1, size - 1)};
}

// The input as the content of data files: written under each of `names` in
// one application directory, made once for the whole run.
inline const test::AppDir &WriteDataFiles(QByteArrayView input,
                                          std::initializer_list<const char *> names) {
    static const test::AppDir dir;
    for (const char *name : names) {
        dir.write(QString::fromLatin1(name), input.toByteArray());
    }
    return dir;
}

[[noreturn]] inline void Fail(const char *what, const QString &detail) {
    std::fprintf(stderr, "FUZZ CHECK FAILED: %s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

inline void Check(bool ok, const char *what, const QString &detail = {}) {
    if (!ok) {
        Fail(what, detail);
    }
}

} // namespace lunex::fuzz
