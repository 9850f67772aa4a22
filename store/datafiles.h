#pragma once

#include "ports/windowports.h"
#include "store/paths.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace lunex {

// A single-value file: the text in Windows-1250, then CR LF.
QByteArray SingleValueBytes(const QString &text);

// Only the list file's first 64 MiB are read, in whole lines, at most the
// first 2,097,152 lines of them, and an entry keeps its first 1,024
// characters. No list of new moons needs more (the lines are 170,000 years of
// them), and a file of gigabytes, millions of empty lines or a line of
// millions of characters would stall the window and exhaust the memory.
inline constexpr qint64 ListReadLimit = 64 * 1024 * 1024;
inline constexpr qsizetype ListLineLimit = 2 * 1024 * 1024;
inline constexpr qsizetype ListEntryLimit = 1024;

// The list file's entries, decoded: a line ends at CR, an LF right after that
// CR belongs to the line end, a lone LF is an ordinary character, the last
// line needs no line end and a file ending in a line end gives no extra empty
// entry. Each entry is cut to ListEntryLimit characters, and the lines after
// the first ListLineLimit are left off.
QStringList SplitListLines(QByteArrayView bytes);
// And back: each line in Windows-1250, ended by CR LF.
QByteArray ListFileBytes(const QStringList &lines);

// `dataDir` is the place of the data files (AppDirs::data). Without one (the
// user has no folder for them) nothing is read or written: a load or a save
// says why, and the list stays empty.
void FillNewMoonList(const QString &dataDir, NewMoonList &list);
void PickNewMoon(const QString &dataDir, TimeFields &fields, const NewMoonList &list,
                 Messenger &messages);
bool SaveNewMoon(const QString &dataDir, const TimeFields &fields, Messenger &messages);
void LoadNewMoon(const QString &dataDir, TimeFields &fields, Messenger &messages);
bool SaveObservation(const QString &dataDir, const TimeFields &fields, Messenger &messages);
// True when `utolso.txt` was loaded into the observation field.
bool LoadObservation(const QString &dataDir, TimeFields &fields, Messenger &messages);

// A save killed part-way can leave its whole temporary copy beside the file:
// such copies of the data files (QSaveFile's "utolso.txt.AbCdEf", ordinary
// files only) older than a minute, so that no save is still writing them, are
// removed. The files themselves and any other name stay.
void RemoveStaleSaveCopies(const QString &dataDir);

} // namespace lunex
