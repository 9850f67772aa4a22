#pragma once

#include <QString>

namespace lunex {

// The equirectangular Earth the crescent's maps are drawn on, where the build
// was told it is installed.
QString EarthTexturePath();

} // namespace lunex
