#include "artwork/gifwriter.h"

#include <gif_lib.h>

#include <vector>

namespace lunex::artwork {

namespace {

int AppendToBuffer(GifFileType *gif, const GifByteType *bytes, int length) {
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(bytes), length);
    return length;
}

QString GifError(int code) {
    const char *text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF hiba %1").arg(code);
}

} // namespace

std::optional<QByteArray> EncodeGreyGif(const QImage &image, QString *error) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    if (grey.isNull() || grey.width() > 65535 || grey.height() > 65535) {
        if (error) {
            *error = QStringLiteral("érvénytelen képméret");
        }
        return std::nullopt;
    }
    QByteArray out;
    int code = 0;
    GifFileType *gif = EGifOpen(&out, AppendToBuffer, &code);
    if (!gif) {
        if (error) {
            *error = GifError(code);
        }
        return std::nullopt;
    }
    std::vector<GifColorType> colours(256);
    for (int i = 0; i < 256; ++i) {
        colours[size_t(i)] = {GifByteType(i), GifByteType(i), GifByteType(i)};
    }
    ColorMapObject *palette = GifMakeMapObject(256, colours.data());
    bool ok =
        palette && EGifPutScreenDesc(gif, grey.width(), grey.height(), 8, 0, palette) == GIF_OK;
    ok = ok && EGifPutImageDesc(gif, 0, 0, grey.width(), grey.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(size_t(grey.width()));
    for (int y = 0; ok && y < grey.height(); ++y) {
        const uchar *row = grey.constScanLine(y);
        std::copy(row, row + grey.width(), line.begin());
        ok = EGifPutLine(gif, line.data(), grey.width()) == GIF_OK;
    }
    const int failure = gif->Error;
    int closeCode = 0;
    const bool closed = EGifCloseFile(gif, &closeCode) == GIF_OK;
    GifFreeMapObject(palette);
    if (!ok || !closed) {
        if (error) {
            *error = GifError(ok ? closeCode : failure);
        }
        return std::nullopt;
    }
    return out;
}

} // namespace lunex::artwork
