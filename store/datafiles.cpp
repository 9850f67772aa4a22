#include "store/datafiles.h"

#include "messages/messages.h"
#include "store/codepage.h"
#include "store/fileio.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace lunex {
namespace {

bool SaveField(const QString &dataDir, QStringView relative, const QString &text,
               Messenger &messages) {
    const FileProblem problem =
        dataDir.isEmpty() ? FileProblem::NoHome
                          : WriteDataFile(AppPath(dataDir, relative), SingleValueBytes(text));
    if (problem != FileProblem::None) {
        messages.showMessage(WriteFailureMessage(FileNameOf(relative), problem),
                             MessageIcon::Critical);
        return false;
    }
    return true;
}

// The whole-file read of the two single-value files; nothing is stripped.
std::optional<QString> LoadField(const QString &dataDir, QStringView relative,
                                 const QString &absentMessage, Messenger &messages) {
    if (dataDir.isEmpty()) {
        messages.showMessage(ReadFailureMessage(FileNameOf(relative), FileProblem::NoHome),
                             MessageIcon::Critical);
        return std::nullopt;
    }
    const QString path = AppPath(dataDir, relative);
    if (!IsOrdinaryFile(path)) {
        messages.showMessage(absentMessage, MessageIcon::Critical);
        return std::nullopt;
    }
    const ReadResult read = ReadAllBytes(path);
    if (!read.bytes) {
        messages.showMessage(ReadFailureMessage(FileNameOf(relative), read.problem),
                             MessageIcon::Critical);
        return std::nullopt;
    }
    return DecodeAnsi(*read.bytes);
}

} // namespace

QByteArray SingleValueBytes(const QString &text) {
    QByteArray bytes = EncodeAnsi(text);
    bytes.append("\r\n");
    return bytes;
}

QStringList SplitListLines(QByteArrayView bytes) {
    QStringList lines;
    const char *const begin = bytes.data();
    const char *const end = begin + bytes.size();
    const char *start = begin;
    while (start < end && lines.size() < ListLineLimit) {
        const auto *cr = static_cast<const char *>(std::memchr(start, '\r', size_t(end - start)));
        const char *lineEnd = cr ? cr : end;
        lines.append(DecodeAnsi(
            QByteArrayView(start, std::min<qsizetype>(lineEnd - start, ListEntryLimit))));
        if (!cr) {
            break;
        }
        start = cr + 1;
        if (start < end && *start == '\n') {
            ++start;
        }
    }
    return lines;
}

QByteArray ListFileBytes(const QStringList &lines) {
    // Each line is written as a single-value file is: the list is read the
    // same on every system.
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += SingleValueBytes(line);
    }
    return bytes;
}

void FillNewMoonList(const QString &dataDir, NewMoonList &list) {
    list.clearEntries();
    // A missing or unreadable list is no reason to keep an observer from the
    // program: the list simply stays empty.
    if (dataDir.isEmpty()) {
        return;
    }
    ReadResult read = ReadLeadingBytes(AppPath(dataDir, NewMoonListFile), ListReadLimit);
    if (!read.bytes) {
        return;
    }
    QByteArrayView bytes = *read.bytes;
    if (read.cut) {
        // The line that the limit cuts through is left off.
        bytes = bytes.first(read.bytes->lastIndexOf('\r') + 1);
    }
    QStringList entries = SplitListLines(bytes);
    read.bytes.reset();
    list.appendEntries(entries);
}

void PickNewMoon(const QString &dataDir, TimeFields &fields, const NewMoonList &list,
                 Messenger &messages) {
    // With nothing picked (-1) the list's text is empty: copying it would wipe
    // the typed new moon and, through the save below, the stored one too. So
    // only a real pick other than the first (heading) entry is copied.
    const int index = list.selectedIndex();
    if (index > 0) {
        fields.setNewMoonText(list.currentText());
    } else if (fields.newMoonText().trimmed().isEmpty()) {
        // Nothing picked and nothing typed (as right after the start): saving
        // would replace the stored new moon with a blank line.
        return;
    }
    SaveNewMoon(dataDir, fields, messages);
}

bool SaveNewMoon(const QString &dataDir, const TimeFields &fields, Messenger &messages) {
    return SaveField(dataDir, NewMoonFile, fields.newMoonText(), messages);
}

void LoadNewMoon(const QString &dataDir, TimeFields &fields, Messenger &messages) {
    const auto text = LoadField(dataDir, NewMoonFile, NewMoonFileMissingMessage, messages);
    if (text) {
        fields.setNewMoonText(*text);
    }
}

bool SaveObservation(const QString &dataDir, const TimeFields &fields, Messenger &messages) {
    const QString text = fields.observationText();
    // Only the blank (U+0020) counts as empty here; a tab or a line break is
    // stored like any other text.
    if (text.count(u' ') == text.size()) {
        messages.showMessage(EmptyObservationMessage, MessageIcon::Warning);
        return false;
    }
    return SaveField(dataDir, ObservationFile, text, messages);
}

bool LoadObservation(const QString &dataDir, TimeFields &fields, Messenger &messages) {
    const auto text = LoadField(dataDir, ObservationFile, ObservationFileMissingMessage, messages);
    if (!text) {
        return false;
    }
    fields.setObservationText(*text);
    return true;
}

void RemoveStaleSaveCopies(const QString &dataDir) {
    if (dataDir.isEmpty()) {
        return;
    }
    // One listing of Pic, and a pattern compiled only for a name that may be
    // a copy: this runs at each start, before the window is shown, and Qt's
    // name filters would compile a pattern for each file.
    const QDir pic = QFileInfo(AppPath(dataDir, NewMoonFile)).dir();
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QString &name : pic.entryList(QDir::Files | QDir::NoSymLinks)) {
        for (const QStringView file :
             {NewMoonFile, ObservationFile, NewMoonListFile, PlaceFile, ObservationLogFile}) {
            const QString target = FileNameOf(file);
            if (name.size() != target.size() + 7 || !name.startsWith(target + u'.')) {
                continue;
            }
            // QSaveFile's name for its copy: the file's name, '.' and six
            // random letters. A word of one case ("backup", "REGI") is more
            // likely a copy the user made, which is theirs to keep; a stray
            // copy of that form (one in 32) stays too.
            const QRegularExpression copy(
                QStringLiteral("^%1\\.(?=[A-Za-z]*[a-z])(?=[A-Za-z]*[A-Z])[A-Za-z]{6}$")
                    .arg(QRegularExpression::escape(target)));
            const QFileInfo candidate(pic.filePath(name));
            if (copy.match(name).hasMatch() && candidate.lastModified() < stale) {
                QFile::remove(candidate.filePath());
            }
        }
    }
}

} // namespace lunex
