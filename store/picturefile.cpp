#include "store/picturefile.h"

namespace lunex {
namespace {

// Walks the blocks of a GIF as the GIF89a format lays them out: the
// header and screen descriptor with its colour table, then extensions and
// images, each a run of length-prefixed sub-blocks, up to the trailer 0x3B.
bool IsCompleteGif(QByteArrayView b) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(b[i]); };
    const auto colourTable = [&](unsigned char flags) {
        return (flags & 0x80) ? qsizetype(3) << ((flags & 0x07) + 1) : qsizetype(0);
    };
    // Skips a run of sub-blocks; false when the data ends inside it.
    const auto subBlocks = [&](qsizetype &i) {
        while (i < b.size()) {
            const qsizetype length = byte(i);
            i += 1 + length;
            if (length == 0) {
                return i <= b.size();
            }
        }
        return false;
    };
    if (b.size() < 13 || !(b.startsWith("GIF87a") || b.startsWith("GIF89a"))) {
        return false;
    }
    qsizetype i = 13 + colourTable(byte(10));
    while (i < b.size()) {
        switch (byte(i)) {
        case 0x3B: // trailer
            return true;
        case 0x21: // extension: label, then sub-blocks
            i += 2;
            if (i > b.size() || !subBlocks(i)) {
                return false;
            }
            break;
        case 0x2C: // image descriptor, local colour table, LZW code size, data
            if (i + 10 > b.size()) {
                return false;
            }
            i += 10 + colourTable(byte(i + 9)) + 1;
            if (i > b.size() || !subBlocks(i)) {
                return false;
            }
            break;
        default:
            return false;
        }
    }
    return false;
}

// Walks the segments of a JPEG (ITU T.81, annex B): markers with a length,
// entropy-coded data after each start of scan up to the next marker that is
// neither a stuffed 0xFF nor a restart, and the end of image 0xFFD9.
bool IsCompleteJpeg(QByteArrayView b) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(b[i]); };
    if (b.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) {
        return false;
    }
    qsizetype i = 2;
    while (i + 1 < b.size()) {
        if (byte(i) != 0xFF) {
            return false;
        }
        const unsigned char marker = byte(i + 1);
        if (marker == 0xFF) { // fill byte before a marker
            ++i;
            continue;
        }
        if (marker == 0xD9) {
            return true;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length
            i += 2;
            continue;
        }
        if (i + 3 >= b.size()) {
            return false;
        }
        i += 2 + ((qsizetype(byte(i + 2)) << 8) | byte(i + 3));
        if (i > b.size()) {
            return false;
        }
        if (marker == 0xDA) { // start of scan: skip the coded data
            while (i + 1 < b.size() && !(byte(i) == 0xFF && byte(i + 1) != 0x00 &&
                                         !(byte(i + 1) >= 0xD0 && byte(i + 1) <= 0xD7))) {
                ++i;
            }
        }
    }
    return false;
}

} // namespace

bool IsCompletePicture(QByteArrayView bytes) {
    return IsCompleteGif(bytes) || IsCompleteJpeg(bytes);
}

ReadResult ReadPictureBytes(const QString &path) {
    ReadResult read = ReadLeadingBytes(path, PictureFileLimit);
    if (read.cut) {
        return {std::nullopt, FileProblem::PictureTooLarge};
    }
    return read;
}

ReadResult ReadPictureFile(const QString &path) {
    ReadResult read = ReadPictureBytes(path);
    if (read.bytes && !IsCompletePicture(*read.bytes)) {
        return {};
    }
    return read;
}

} // namespace lunex
