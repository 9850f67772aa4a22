#include "store/fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace lunex {
namespace {

enum class Access { Read, Write };

// In a sticky directory (mode 1777, like /tmp) only the owner of a file or of
// the directory may replace the file, however writable it is. QFileInfo does
// not tell of the sticky bit.
bool StickyKeepsOut(const QFileInfo &info) {
    const QFileInfo target(info.canonicalFilePath());
    struct stat dir {};
    struct stat file {};
    if (::stat(QFile::encodeName(target.absolutePath()).constData(), &dir) != 0 ||
        ::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &file) != 0) {
        return false;
    }
    const uid_t me = ::geteuid();
    return (dir.st_mode & S_ISVTX) != 0 && me != 0 && me != file.st_uid && me != dir.st_uid;
}

bool OnReadOnlyDisk(const QString &dir) {
    struct statvfs disk {};
    return ::statvfs(QFile::encodeName(dir).constData(), &disk) == 0 &&
           (disk.f_flag & ST_RDONLY) != 0;
}

FileProblem Classify(const QString &path, QFileDevice::FileError error, Access access) {
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
    // Before the rights: a read-only disk refuses even those who may write.
    if (access == Access::Write && OnReadOnlyDisk(info.absolutePath())) {
        return FileProblem::ReadOnlyDisk;
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
    if (access == Access::Write && info.exists() && StickyKeepsOut(info)) {
        return FileProblem::NoPermission;
    }
    if (error == QFileDevice::ResourceError || error == QFileDevice::WriteError) {
        return FileProblem::DiskFull;
    }
    // The save's temporary file could not be made beside it, with every right
    // to do so: a file system such as /proc takes no new files.
    if (access == Access::Write && error == QFileDevice::OpenError) {
        return FileProblem::CannotCreate;
    }
    return FileProblem::Other;
}

ReadResult ReadUpTo(const QString &path, qint64 limit) {
    // Opening a FIFO waits for a writer, and a device such as /dev/zero never
    // ends: only an ordinary file (or a link to one) is read.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return {std::nullopt, info.isDir() ? FileProblem::IsDirectory : FileProblem::NotAFile};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {std::nullopt, Classify(path, file.error(), Access::Read)};
    }
    // One byte beyond the limit tells whether the file goes on; the size only
    // keeps the buffer small, since the file may grow while it is read.
    QByteArray bytes = file.read(std::min(limit, file.size()) + 1);
    if (file.error() != QFileDevice::NoError) {
        return {std::nullopt, Classify(path, file.error(), Access::Read)};
    }
    const bool cut = bytes.size() > limit;
    if (cut) {
        bytes.truncate(limit);
    }
    return {std::move(bytes), FileProblem::None, cut};
}

// QSaveFile writes a new file, which belongs to the writer: it gets the old
// file's owner and group, or at least its group, where the writer may give
// them. Where not, the save goes on all the same.
void KeepOwnership(const QString &path, int fd) {
    struct stat old {};
    if (fd < 0 || ::stat(QFile::encodeName(path).constData(), &old) != 0) {
        return;
    }
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only root may give a file away; a group of one's own is allowed.
        [[maybe_unused]] const int groupOnly = ::fchown(fd, uid_t(-1), old.st_gid);
    }
}

} // namespace

bool IsOrdinaryFile(const QString &path) {
    // QFileInfo follows symbolic links: a dangling one is not a file.
    return QFileInfo(path).isFile();
}

ReadResult ReadAllBytes(const QString &path) {
    ReadResult read = ReadUpTo(path, SingleValueFileLimit);
    if (read.cut) {
        return {std::nullopt, FileProblem::TooLarge};
    }
    return read;
}

ReadResult ReadLeadingBytes(const QString &path, qint64 limit) {
    return ReadUpTo(path, limit);
}

FileProblem WriteFileAtomically(const QString &path, const QByteArray &bytes) {
    // QFileInfo follows symbolic links, as the save does.
    const QFileInfo target(path);
    if (target.isDir()) {
        return FileProblem::IsDirectory;
    }
    // The rename would put an ordinary file in the place of a device or a FIFO
    // (as root, in the place of /dev/null itself).
    if (target.exists() && !target.isFile()) {
        return FileProblem::NotAFile;
    }
    QSaveFile file(path);
    // Unbuffered, so that write() itself meets a full disk: QSaveFile::commit
    // ignores a failure of the final flush of its buffer and would replace the
    // old file with a truncated or empty one, reporting success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return Classify(path, file.error(), Access::Write);
    }
    KeepOwnership(path, file.handle());
    // On a full disk QSaveFile::write can come back short without an error and
    // commit() then succeeds with a truncated file: count every byte.
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        const auto error = file.error();
        file.cancelWriting();
        return error == QFileDevice::NoError ? FileProblem::DiskFull
                                             : Classify(path, error, Access::Write);
    }
    // commit() syncs the new file to the disk but ignores a failed sync, and
    // would then put a file that never fully reached the disk in the old
    // one's place. EINVAL: a file that cannot be synced at all.
    if (::fdatasync(file.handle()) != 0 && errno != EINVAL) {
        file.cancelWriting();
        return FileProblem::DiskFull;
    }
    if (!file.commit()) {
        return Classify(path, file.error(), Access::Write);
    }
    return FileProblem::None;
}

FileProblem LinkInPlaceOf(const QString &path) {
    // lstat: the link itself, not where it leads. QSaveFile resolves a link
    // when it opens, an instant later; its rename at the end replaces a link
    // planted after that, never its target.
    struct stat own {};
    if (::lstat(QFile::encodeName(path).constData(), &own) == 0 && S_ISLNK(own.st_mode)) {
        // What it leads to, where that says more than the link itself.
        const QFileInfo target(path);
        if (!target.exists()) {
            return FileProblem::BrokenLink;
        }
        if (target.isDir()) {
            return FileProblem::IsDirectory;
        }
        return target.isFile() ? FileProblem::IsLink : FileProblem::NotAFile;
    }
    return FileProblem::None;
}

FileProblem WriteDataFile(const QString &path, const QByteArray &bytes) {
    const FileProblem link = LinkInPlaceOf(path);
    return link != FileProblem::None ? link : WriteFileAtomically(path, bytes);
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace lunex
