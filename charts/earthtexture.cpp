#include "charts/earthtexture.h"

namespace lunex {

QString EarthTexturePath() {
    return QStringLiteral(LUNEX_EARTH_TEXTURE);
}

} // namespace lunex
