#include "store/fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace lunex {
namespace {

testing::WriteFault g_fault = testing::WriteFault::None;

enum class Access { Read, Write };

FileProblem classify(const QString &path, QFileDevice::FileError error, Access access) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) {
        return FileProblem::NoDirectory;
    }
    if (info.isDir()) {
        return FileProblem::IsDirectory;
    }
    // exists() follows the link: false for a link to nothing.
    if (info.isSymLink() && !info.exists()) {
        return FileProblem::BrokenLink;
    }
    if (error == QFileDevice::PermissionsError) {
        return FileProblem::NoPermission;
    }
    if (info.exists() && !info.isReadable()) {
        return FileProblem::NoPermission;
    }
    // QSaveFile reports a write-protected file as a WriteError, which would
    // otherwise read as a full disk.
    if (access == Access::Write && info.exists() && !info.isWritable()) {
        return FileProblem::NoPermission;
    }
    // A directory that may not be entered hides its files as well.
    const QFileInfo dir(info.absolutePath());
    if (!dir.isWritable() || !dir.isExecutable()) {
        return FileProblem::NoPermission;
    }
    if (error == QFileDevice::ResourceError || error == QFileDevice::WriteError) {
        return FileProblem::DiskFull;
    }
    return FileProblem::Other;
}

ReadResult readUpTo(const QString &path, qint64 limit) {
    // Opening a FIFO waits for a writer, and a device such as /dev/zero never
    // ends: only an ordinary file (or a link to one) is read.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return {std::nullopt, info.isDir() ? FileProblem::IsDirectory : FileProblem::NotAFile};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {std::nullopt, classify(path, file.error(), Access::Read)};
    }
    // One byte beyond the limit tells whether the file goes on; the size only
    // keeps the buffer small, since the file may grow while it is read.
    QByteArray bytes = file.read(std::min(limit, file.size()) + 1);
    if (file.error() != QFileDevice::NoError) {
        return {std::nullopt, classify(path, file.error(), Access::Read)};
    }
    const bool cut = bytes.size() > limit;
    if (cut) {
        bytes.truncate(limit);
    }
    return {std::move(bytes), FileProblem::None, cut};
}

} // namespace

QString ProblemText(FileProblem problem) {
    switch (problem) {
    case FileProblem::None:
        return {};
    case FileProblem::NoDirectory:
        return QStringLiteral("a 'Pic' mappa nem létezik.");
    case FileProblem::IsDirectory:
        return QStringLiteral("a fájl helyén egy mappa van.");
    case FileProblem::BrokenLink:
        return QStringLiteral("a fájl helyén egy sehová sem mutató hivatkozás van.");
    case FileProblem::NoPermission:
        return QStringLiteral("nincs hozzá jogosultság.");
    case FileProblem::DiskFull:
        return QStringLiteral("megtelt a lemez, vagy írási hiba történt.");
    case FileProblem::NotAFile:
        return QStringLiteral("a fájl helyén egy eszköz vagy csővezeték van.");
    case FileProblem::TooLarge:
        return QStringLiteral("túl nagy (legfeljebb %1 MiB).").arg(WholeReadLimit / (1024 * 1024));
    case FileProblem::Other:
        break;
    }
    return QStringLiteral("ismeretlen hiba történt.");
}

bool IsOrdinaryFile(const QString &path) {
    // QFileInfo follows symbolic links: a dangling one is not a file.
    return QFileInfo(path).isFile();
}

ReadResult ReadAllBytes(const QString &path) {
    ReadResult read = readUpTo(path, WholeReadLimit);
    if (read.cut) {
        return {std::nullopt, FileProblem::TooLarge};
    }
    return read;
}

ReadResult ReadLeadingBytes(const QString &path, qint64 limit) {
    return readUpTo(path, limit);
}

FileProblem WriteFileAtomically(const QString &path, const QByteArray &bytes) {
    if (QFileInfo(path).isDir()) {
        return FileProblem::IsDirectory;
    }
    if (g_fault == testing::WriteFault::NoPermission) {
        return FileProblem::NoPermission;
    }
    QSaveFile file(path);
    // Unbuffered, so that write() itself meets a full disk: QSaveFile::commit
    // ignores a failure of the final flush of its buffer and would replace the
    // old file with a truncated or empty one, reporting success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return classify(path, file.error(), Access::Write);
    }
    // On a full disk QSaveFile::write can come back short without an error and
    // commit() then succeeds with a truncated file: count every byte.
    const QByteArray payload =
        g_fault == testing::WriteFault::DiskFull ? bytes.left(bytes.size() / 2) : bytes;
    const qint64 written = file.write(payload);
    if (written != bytes.size()) {
        const auto error = file.error();
        file.cancelWriting();
        return error == QFileDevice::NoError ? FileProblem::DiskFull
                                             : classify(path, error, Access::Write);
    }
    if (!file.commit()) {
        return classify(path, file.error(), Access::Write);
    }
    return FileProblem::None;
}

namespace testing {
void SetWriteFault(WriteFault fault) {
    g_fault = fault;
}
} // namespace testing

} // namespace lunex
