#pragma once

#include "texts/resulttexts.h"

#include <QString>

namespace lunex::test {

// A result text as "line:text", its line named as the design numbers them.
inline QString Shown(const ResultText &result) {
    const char *const names[] = {"1", "1a", "2", "3", "4", "5"};
    return QString::fromLatin1(names[int(result.line)]) + u':' + result.text;
}

} // namespace lunex::test
