#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>

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

// Rows of naplo.csv that could not be read, by their line numbers: they are kept.
QString LogRowsUnreadMessage(const QList<int> &lineNumbers);
// naplo.csv beyond its limit (in MiB): it is neither read nor overwritten.
QString LogTooLargeMessage(qint64 limitMiB);
QString LogTooLargeReason(qint64 limitMiB);
// A change to a log that could not be read is not saved over it.
QString LogKeptUnwrittenMessage();

// An OpenAstronomyLog file that could not be imported, and the reason.
QString LogImportFailureMessage(const QString &fileName, const QString &reason);
// What an import added and what the log held already.
QString LogImportedMessage(int added, int held);
// The reasons an OpenAstronomyLog file is refused.
QString NotAnOalLogReason();
QString BrokenXmlReason(qint64 line, const QString &detail);

} // namespace lunex
