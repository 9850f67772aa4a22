#include "charts/earthtexture.h"

#include "messages/crescenttexts.h"
#include "messages/messages.h"
#include "store/picturefile.h"

namespace lunex {

QString EarthTexturePath() {
    return QStringLiteral(LUNEX_EARTH_TEXTURE);
}

EarthTexture LoadEarthTexture(const QString &path) {
    const ReadResult read = ReadPictureBytes(path);
    EarthTexture earth{read.bytes ? QImage::fromData(*read.bytes) : QImage(), QString()};
    if (earth.image.isNull()) {
        earth.problem = EarthMissingText(path, read.problem == FileProblem::None
                                                   ? QStringLiteral("nem kép, vagy sérült.")
                                                   : ProblemText(read.problem));
    }
    return earth;
}

} // namespace lunex
