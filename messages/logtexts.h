#pragma once

#include "lunar/riseset.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <utility>

// The observer's log in the user's words: the names of its choices (in the
// order of store/logfile.h's enumerations) and what can go wrong with naplo.csv.
namespace lunex {

// By SightingResult.
inline constexpr std::array<QStringView, 4> SightingResultNames{
    u"szabad szemmel látta", u"optikai eszközzel találta meg, majd szabad szemmel is látta",
    u"csak optikai eszközzel látta", u"nem látta"};
// The same, short, for the columns of a table.
inline constexpr std::array<QStringView, 4> SightingResultShortNames{
    u"szabad szemmel", u"eszközzel, majd szemmel", u"csak eszközzel", u"nem látta"};
// By OpticalAid.
inline constexpr std::array<QStringView, 4> OpticalAidNames{u"nincs", u"binokulár", u"távcső",
                                                            u"fényképezőgép"};
// By SkyCondition.
inline constexpr std::array<QStringView, 3> SkyConditionNames{u"tiszta", u"párás", u"felhős"};

// What the entry's prediction says in place of the classes when the criteria
// do not speak of its moment (lunar/sightingprediction.h).
QString MoonBelowHorizonText();
QString NoCrescentDayText(Direction direction);

// Rows of naplo.csv that could not be read, by their line numbers: they are kept.
QString LogRowsUnreadMessage(const QList<int> &lineNumbers);
// naplo.csv beyond its limit (in MiB): it is neither read nor overwritten.
QString LogTooLargeMessage(qint64 limitMiB);
QString LogTooLargeReason(qint64 limitMiB);
// A change to a log that could not be read is not saved over it.
QString LogKeptUnwrittenMessage();
// Another copy of Lunex was saving the log for `seconds` and longer: the
// change is kept, to be saved again.
QString LogBusyMessage(int seconds);
// The change would make naplo.csv larger than its limit (in MiB), beyond
// which it could not be read again: it is not saved.
QString LogWouldBeTooLargeMessage(qint64 limitMiB);
// A note longer than its limit, in characters.
QString LogNoteTooLongMessage(qsizetype limit, qsizetype length);

// An OpenAstronomyLog file that could not be imported, and the reason.
QString LogImportFailureMessage(const QString &fileName, const QString &reason);
// What an import added, what the log held already, and the observations it
// left out: each reason's words (LogEntryFaultReasons) with its count.
QString LogImportedMessage(int added, int held, const QList<std::pair<QString, int>> &skipped = {});
// Why an import left out an observation, by store/logfile.h's LogEntryFault
// (None excluded).
inline constexpr std::array<QStringView, 8> LogEntryFaultReasons{
    u"az időpont nem olvasható",
    u"az időpont kívül esik az 1000–3000. éveken, amelyekre a Lunex előrejelez",
    u"a földrajzi szélesség nem ±90° közötti szám",
    u"a földrajzi hosszúság nem ±180° közötti szám",
    u"a tengerszint feletti magasság nem −500 és 9000 m közötti szám",
    u"az átlátszóság nem 1 és 5 közötti",
    u"arra a pillanatra és helyre nincs előrejelzés",
    u"a megjegyzés, a megfigyelő neve vagy az eszköz leírása túl hosszú"};
// An import cancelled while its predictions were computed adds nothing.
QString LogImportCancelledMessage();
// The reasons an OpenAstronomyLog file is refused.
QString NotAnOalLogReason();
QString DoctypeReason();
QString BrokenXmlReason(qint64 line, const QString &detail);

} // namespace lunex
