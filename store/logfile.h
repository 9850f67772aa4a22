#pragma once

#include "lunar/ephemeris.h"
#include "lunar/sightingprediction.h"
#include "messages/messages.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>

#include <optional>

// The observer's log, naplo.csv beside hely.txt: a header row and one entry a
// row, in UTF-8 with a byte-order mark (so that spreadsheet programs read the
// accents), ',' between the cells, '.' decimals, cells with a ',', a quote or
// a line break quoted as RFC 4180 has it, CR LF at each row's end. Every typed
// character is kept as typed. A row that cannot be read is kept as it stood
// and written back in its place, never dropped.
namespace lunex {

enum class SightingResult {
    NakedEye,        // seen with the naked eye
    AidThenNakedEye, // found with optical aid, then seen with the naked eye
    OpticalAidOnly,  // seen only with optical aid
    NotSeen,
};
enum class OpticalAid { None, Binoculars, Telescope, Camera };
enum class SkyCondition { Clear, Haze, Cloud };

inline constexpr int SightingResultCount = 4;
inline constexpr int OpticalAidCount = 4;
inline constexpr int SkyConditionCount = 3;

// The codes of the file, by each enumeration: plain ASCII words, so that a
// script needs no accents to read them. The exports use them too.
inline constexpr std::array<QStringView, SightingResultCount> ResultCodes{
    u"szabad_szemmel", u"eszkozzel_majd_szabad_szemmel", u"csak_eszkozzel", u"nem_latta"};
inline constexpr std::array<QStringView, OpticalAidCount> AidCodes{u"nincs", u"binokular",
                                                                   u"tavcso", u"kamera"};
inline constexpr std::array<QStringView, SkyConditionCount> SkyCodes{u"tiszta", u"paras",
                                                                     u"felhos"};
// By Direction: evening, morning.
inline constexpr std::array<QStringView, 2> DirectionCodes{u"este", u"reggel"};

// The eye saw it / it was seen at all.
bool SeenByEye(SightingResult result);
bool SeenAtAll(SightingResult result);

struct LogEntry {
    // The instant of the sighting or the attempt, on the minute, in the zone
    // of the clock it was read on (a named zone, or only its offset).
    QDateTime moment;
    QString placeName;
    Place place;
    SightingResult result = SightingResult::NotSeen;
    OpticalAid aid = OpticalAid::None;
    QString aidText; // "10×50"
    SkyCondition sky = SkyCondition::Clear;
    std::optional<int> transparency; // 1 (excellent) to 5 (poor)
    QString observer;
    QString notes;
    SightingPrediction prediction;
};

inline constexpr int TransparencyBest = 1;
inline constexpr int TransparencyWorst = 5;

// One row of the file: an entry, or a row that could not be read, byte for
// byte as it stood (without its line end).
struct LogRow {
    std::optional<LogEntry> entry;
    QByteArray unreadText;
};

// The entry with its prediction for its moment and place.
LogEntry Predicted(LogEntry entry);

// The longest note an entry takes, in characters (a page of text), and the
// longest observer's name and description of the optical aid: what the entry
// dialog lets type and an import takes. A file written by hand or by an older
// version is read whatever their length.
inline constexpr qsizetype LogNoteLimit = 10000;
inline constexpr qsizetype LogTextLimit = 200;

// The years whose moments get a prediction: those the forecast serves.
inline constexpr int LogFirstYear = 1000;
inline constexpr int LogLastYear = 3000;

// Why the log would not take an entry as its own, or None: what its reader
// refuses (a moment without its offset, a latitude or a
// longitude off the globe, a height off the Earth, a number that is no
// finite number, a transparency
// off the scale, a prediction that is not one), a moment outside the years
// LogFirstYear..LogLastYear, and a text beyond its limit. The exchange forms
// (OpenAstronomyLog) check each entry they bring with it, so that nothing
// shows now and is gone at the next start.
enum class LogEntryFault {
    None,
    Moment,       // no valid moment with its offset
    Year,         // outside LogFirstYear..LogLastYear on the moment's own clock
    Latitude,     // not a number within ±90°
    Longitude,    // not a number within ±180°
    Elevation,    // not a number from LowestElevation to HighestElevation (lunar/places.h)
    Transparency, // off the scale of 1 to 5
    Prediction,   // no finite prediction could be made
    LongText,     // a note, a name or an optical aid's text beyond its limit
};
inline constexpr int LogEntryFaultCount = 9;
LogEntryFault CheckLogEntry(const LogEntry &entry);

// The rows of the file, and back.
QByteArray LogFileBytes(const QList<LogRow> &rows);
// The line numbers of the rows that could not be read go to `unreadLines`.
QList<LogRow> ParseLogFile(const QByteArray &bytes, QList<int> *unreadLines = nullptr);

// The largest naplo.csv that is read: room for a lifetime of entries. A save
// that would make it larger is refused, so that the log stays readable.
inline constexpr qint64 LogFileLimit = 64 * 1024 * 1024;

struct LogReading {
    QList<LogRow> rows;
    // The file is there but could not be read: nothing may be saved over it.
    bool unreadable = false;
    // The file could not be read, or some of its rows not, in the user's words.
    QString message;
    // Of the bytes the rows were read from (or were last saved as): a save
    // tells by it whether another copy has saved since. Empty without a file.
    QByteArray digest;
};

LogReading LoadObservationLog(const QString &dataDir);
// Writes the rows as they are (FileProblem::TooLarge beyond LogFileLimit):
// for a log no other copy may have open. SaveLogChanges is the save of the
// windows.
FileProblem SaveObservationLog(const QString &dataDir, const QList<LogRow> &rows);

// The rows to save when the file may have changed since they were read from
// it: another Lunex open on the same log saved meanwhile. `read` is what was
// read (or last saved), `changed` the rows after this one's changes, `onDisk`
// the file as it is now. The other's changes stand, and this one's are made
// on top of them: its new rows added after the file's (once, when the other
// added the very same), its removed ones removed (an edit is both). Rows are
// the same when the file writes them alike. Without it the second save would
// drop the first's entries.
QList<LogRow> MergeLogChanges(const QList<LogRow> &read, const QList<LogRow> &changed,
                              const QList<LogRow> &onDisk);

// How long a save waits for another copy's save of the same log to end.
inline constexpr int LogLockWaitMs = 5000;

struct LogSaving {
    bool saved = false;
    // Why not, in the user's words; the change is then not on the disk, and
    // the caller keeps it to save again.
    QString message;
    // The log as it is on the disk now: the other copies' changes, this one's
    // on top. Only when saved.
    LogReading log;
};

// Saves `changed`, the rows of `read` after this copy's changes, with what
// other copies saved since `read` was read, as MergeLogChanges has it. An
// exclusive lock (naplo.csv.lock beside the log) is held from the reading of
// the file to its replacement, so that two copies saving at once cannot drop
// each other's entries; when another holds it longer than `lockWaitMs`, the
// save is refused and says so. Refused too: a log that cannot be read (it is
// never written over), and one that would grow beyond LogFileLimit.
LogSaving SaveLogChanges(const QString &dataDir, const LogReading &read,
                         const QList<LogRow> &changed, int lockWaitMs = LogLockWaitMs);

} // namespace lunex
