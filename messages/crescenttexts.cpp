#include "messages/crescenttexts.h"

#include <QLocale>

#include <cmath>

namespace lunex {
namespace {

constexpr const char16_t *YallopMeanings[] = {
    u"szabad szemmel könnyen látható",
    u"tökéletes égen szabad szemmel látható",
    u"optikai eszközzel kell megkeresni, utána szabad szemmel is",
    u"csak optikai eszközzel látható",
    u"távcsővel sem látható",
    u"nem látható (a Danjon-határ alatt)",
};

constexpr const char16_t *OdehMeanings[] = {
    u"szabad szemmel látható",
    u"optikai eszközzel látható, szabad szemmel is lehet",
    u"csak optikai eszközzel látható",
    u"optikai eszközzel sem látható",
};

// By CrescentStatus.
constexpr const char16_t *StatusTexts[] = {
    u"",
    u"A Nap nem nyugszik le (éjféli nap).",
    u"A Nap nem kel fel (sarki éjszaka).",
    u"A Hold a Nap előtt nyugszik le: nem látható.",
    u"A Hold nem nyugszik le.",
    u"A legjobb időpont az újhold előtt van.",
    u"A Hold aznap fel sem kel: nem látható.",
};

// The same for a morning, by CrescentStatus: where the Sun's or the Moon's
// whole day is the same as an evening's, so is the sentence.
constexpr const char16_t *MorningStatusTexts[] = {
    u"",
    u"A Nap nem nyugszik le (éjféli nap).",
    u"A Nap nem kel fel (sarki éjszaka).",
    u"A Hold a Nap után kel fel: nem látható.",
    u"A Hold nem nyugszik le, így fel sem kel.",
    u"A legjobb időpont az újhold után van.",
    u"A Hold aznap fel sem kel: nem látható.",
};

} // namespace

QString YallopMeaning(YallopClass c) {
    return QString::fromUtf16(YallopMeanings[int(c)]);
}

QString OdehMeaning(OdehZone z) {
    return QString::fromUtf16(OdehMeanings[int(z)]);
}

QString CrescentStatusText(CrescentStatus status, Direction direction) {
    return QString::fromUtf16(direction == Direction::Morning ? MorningStatusTexts[int(status)]
                                                              : StatusTexts[int(status)]);
}

QString LegendLabel(YallopClass c) {
    return QStringLiteral("%1: %2").arg(ClassLetter(c)).arg(YallopMeaning(c));
}

QString LegendLabel(OdehZone z) {
    return QStringLiteral("%1: %2").arg(ClassLetter(z)).arg(OdehMeaning(z));
}

QString NoCrescentLegendLabel(Direction direction) {
    return direction == Direction::Morning
               ? QStringLiteral("nincs holdsarló: a Hold a Nap után kel, vagy már elmúlt az újhold")
               : QStringLiteral(
                     "nincs holdsarló: a Hold a Nap előtt nyugszik, vagy még nincs újhold");
}

QString NoEveningLegendLabel(Direction direction) {
    return direction == Direction::Morning
               ? QStringLiteral("a Nap vagy a Hold nem kel fel, vagy a Nap le sem nyugszik")
               : QStringLiteral("a Nap vagy a Hold nem nyugszik le, vagy a Nap fel sem kel");
}

QString MapTitle(const QDate &date, Direction direction) {
    const QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);
    return QStringLiteral("A holdsarló láthatósága %1 %2")
        .arg(hungarian.toString(date, QStringLiteral("yyyy. MMMM d.")),
             direction == Direction::Morning ? QStringLiteral("reggelén")
                                             : QStringLiteral("estéjén"));
}

QString MapSubtitle(Criterion criterion, const QDateTime &newMoon, double step,
                    Direction direction) {
    const QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);
    return QStringLiteral("%1 · újhold: %2 UT · %4 · rácsköz: %3°")
        .arg(criterion == Criterion::Yallop
                 ? QStringLiteral("Yallop q-kritériuma (NAO TN 69, 1998)")
                 : QStringLiteral("Odeh kritériuma (Exp. Astron. 18, 2004)"),
             hungarian.toString(newMoon, QStringLiteral("yyyy. MM. dd. HH:mm")),
             hungarian.toString(step),
             direction == Direction::Morning
                 ? QStringLiteral("a helyi reggel legjobb időpontjában (napkelte − 4/9 késés)")
                 : QStringLiteral("a helyi este legjobb időpontjában (napnyugta + 4/9 késés)"));
}

QString CompassPoint(double azimuth) {
    static const char16_t *const points[] = {u"É", u"ÉK", u"K", u"DK", u"D", u"DNy", u"Ny", u"ÉNy"};
    const double turned = std::fmod(std::fmod(azimuth + 22.5, 360.0) + 360.0, 360.0);
    return QString::fromUtf16(points[int(turned / 45.0) % 8]);
}

QString SkyCaption(const QString &placeName, const QString &when, const QString &altitude,
                   const QString &azimuth, const QString &compassPoint) {
    return QStringLiteral("%1 · %2 · a Hold %3° magasan, %4° azimutnál (%5)")
        .arg(placeName, when, altitude, azimuth, compassPoint);
}

QString SunLabel(const QString &altitude) {
    return QStringLiteral("Nap (%1°)").arg(altitude);
}

QString TwilightName(Twilight twilight) {
    switch (twilight) {
    case Twilight::Civil:
        return QStringLiteral("polgári szürkület");
    case Twilight::Nautical:
        return QStringLiteral("nautikai szürkület");
    case Twilight::Astronomical:
        return QStringLiteral("csillagászati szürkület");
    case Twilight::Night:
        break;
    }
    return QStringLiteral("éjszaka");
}

namespace {

QString SkylineSide(bool above) {
    return above ? QStringLiteral("fölött") : QStringLiteral("mögött");
}

} // namespace

QString SkylineAtBestTimeText(bool above) {
    return QStringLiteral("a helyi horizont ") + SkylineSide(above);
}

QString SkylineCellText(const SkylineMoon &moon, const QString &crossingClock) {
    const QString side = SkylineSide(moon.aboveAtBestTime);
    return moon.crossingJd ? side + u' ' + crossingClock : side;
}

QString SkylineCrossingText(const QString &clock, Direction direction) {
    return direction == Direction::Morning
               ? QStringLiteral("%1-kor a helyi horizont fölé emelkedik").arg(clock)
               : QStringLiteral("%1-kor a helyi horizont mögé bukik").arg(clock);
}

QString SkylineHidesMoonText() {
    return QStringLiteral("a helyi horizont végig takarja");
}

QString SkylineSummary(bool aboveAtBestTime, const QString &whenItGoes) {
    return QStringLiteral("a Hold a legjobb időpontban %1, %2")
        .arg(SkylineAtBestTimeText(aboveAtBestTime), whenItGoes);
}

QString SkyTwilightText(const QString &sunAltitude, Twilight twilight) {
    return QStringLiteral("a Nap %1° magasan: %2").arg(sunAltitude, TwilightName(twilight));
}

QString MoonLabel() {
    return QStringLiteral("Hold (nagyítva)");
}

QString BinocularFieldLabel(const QString &degrees) {
    return QStringLiteral("10×50 távcső látómezeje (%1°)").arg(degrees);
}

QString MoonPathLabel(Direction direction) {
    return direction == Direction::Morning ? QStringLiteral("a Hold útja holdkeltétől")
                                           : QStringLiteral("a Hold útja holdnyugtáig");
}

QString MoonPathHoursLabel(const QString &hours, Direction direction) {
    return direction == Direction::Morning
               ? QStringLiteral("a Hold útja napkelte előtt %1 órától").arg(hours)
               : QStringLiteral("a Hold útja napnyugta után %1 óráig").arg(hours);
}

QString CloserLookLabel(const QString &degrees) {
    return QStringLiteral("A Hold környéke nagyítva (%1° magas)").arg(degrees);
}

QString MapInProgressText() {
    return QStringLiteral("A térkép készül…");
}

QString MarkedPlaceText(const QString &placeName) {
    return QStringLiteral("megjelölve: %1").arg(placeName);
}

QString EarthMissingText(const QString &path, const QString &reason) {
    return QStringLiteral("A Föld képe ('%1') nem olvasható: %2 Sima háttérrel rajzolom.")
        .arg(path, reason);
}

QString ShorelinesMissingText(const QString &path, const QString &reason) {
    return QStringLiteral("A partvonalak és az országhatárok fájlja ('%1') nem olvasható: %2 "
                          "Nélkülük rajzolom a térképet.")
        .arg(path, reason);
}

QString CalendarLibraryMissingText() {
    return QStringLiteral("A naptárfájl nem készíthető el: a libical könyvtár (libical.so.3, a "
                          "Debian libical3 csomagja) nem tölthető be.");
}

QString ShorelineReaderMissingText(const QString &program) {
    return QStringLiteral("A partvonalak és az országhatárok olvasója ('%1') nem indítható: nincs "
                          "meg, vagy nem futtatható. A vonalak nélkül rajzolom a térképet.")
        .arg(program);
}

} // namespace lunex
