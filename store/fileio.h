#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace lunex {

// Why a data file could not be read or written, in words a user understands.
enum class FileProblem {
    None,
    NoDirectory,  // the Pic directory is missing
    IsDirectory,  // a directory stands where the file should be
    BrokenLink,   // a symbolic link stands there whose target cannot be made
    NoPermission, // the file or its directory may not be read or written
    DiskFull,     // not every byte reached the disk
    NotAFile,     // a device, a FIFO or a socket stands there
    TooLarge,     // larger than WholeReadLimit
    Other,
};

// A file read whole is refused beyond this size: a stored date is a few bytes,
// and gigabytes would stall the window and exhaust the memory.
inline constexpr qint64 WholeReadLimit = 1024 * 1024;

// The Hungarian reason that follows "nem olvasható:" / "nem menthető:".
QString ProblemText(FileProblem problem);

// The existence test of the data files: an ordinary file. A directory of that
// name, a dangling symbolic link and a missing file all count as absent.
bool IsOrdinaryFile(const QString &path);

struct ReadResult {
    std::optional<QByteArray> bytes; // empty when the file could not be read
    FileProblem problem = FileProblem::None;
    bool cut = false; // the file goes on beyond the bytes read
};

// The whole file, if it is an ordinary file of at most WholeReadLimit bytes.
ReadResult ReadAllBytes(const QString &path);

// At most the first `limit` bytes of an ordinary file.
ReadResult ReadLeadingBytes(const QString &path, qint64 limit);

// Replaces the file's whole content atomically: the bytes go to a temporary
// file beside it, which is renamed over the old file only when every byte was
// written and flushed to the disk. A failure or a crash part-way leaves the old
// file as it was. Only an ordinary file is replaced: a device or a FIFO in its
// place is refused. The new file keeps the old one's owner and group where the
// writer may give them.
FileProblem WriteFileAtomically(const QString &path, const QByteArray &bytes);

// Makes a write beyond the file-size limit (ulimit -f) fail with an error that
// the save reports, instead of the signal that would end the program unasked.
void IgnoreFileSizeSignal();

namespace testing {
// Root ignores file permissions, and a full disk cannot be had on demand; these
// make both failures real for the tests whoever runs them.
enum class WriteFault { None, NoPermission, DiskFull };
void SetWriteFault(WriteFault fault);
} // namespace testing

} // namespace lunex
