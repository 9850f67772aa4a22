#pragma once

#include "messages/messages.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace lunex {

// The existence test of the data files: an ordinary file. A directory of that
// name, a dangling symbolic link and a missing file all count as absent.
bool IsOrdinaryFile(const QString &path);

struct ReadResult {
    std::optional<QByteArray> bytes; // empty when the file could not be read
    FileProblem problem = FileProblem::None;
    bool cut = false; // the file goes on beyond the bytes read
};

// The whole file, if it is an ordinary file of at most SingleValueFileLimit bytes.
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

// Saves one of Lunex's own data files (in the Pic directory or the user's data
// folder) as WriteFileAtomically does, but never through a symbolic link: in a
// folder others may write to, a link planted in the file's place would have
// the save replace whatever file it leads to. A link there is refused
// (FileProblem::IsLink), and the user decides what to do with it. A path the
// user chose in a save dialog is written with WriteFileAtomically, link or not.
FileProblem WriteDataFile(const QString &path, const QByteArray &bytes);
// What WriteDataFile would refuse for a link in the data file's place, or
// None: for a data file another library writes (the settings QSettings saves).
FileProblem LinkInPlaceOf(const QString &path);

// Makes a write beyond the file-size limit (ulimit -f) fail with an error that
// the save reports, instead of the signal that would end the program unasked.
void IgnoreFileSizeSignal();

} // namespace lunex
