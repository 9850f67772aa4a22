#pragma once

#include "eveningtable.h"

#include "lunar/yearoverview.h"

#include <QString>

// The year at a glance on the terminal: two lines a new moon, the first
// evening optical aid and the eye show its crescent.
namespace lunex::crescents {

QString FormatYearTable(const YearOverview &year, const TableSetting &setting);

} // namespace lunex::crescents
