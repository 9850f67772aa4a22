#include "texts/eveningcalendar.h"

#include "texts/eveningtexts.h"
#include "texts/placetext.h"

#include <QLibrary>

#include <libical/ical.h>

#include <memory>
#include <optional>

namespace lunex {
namespace {

// libical writes the format's escaping of ',', ';' and line breaks and folds
// its long lines without splitting a character: nothing of it by hand. It is
// loaded when the first calendar is written, not linked: the window program
// starts without it, and most of its runs write no calendar. The header gives
// each function's type, so every call is checked as a linked one would be.
#define LUNEX_ICAL_FUNCTIONS(X)                                                                    \
    X(icalcomponent_new_vcalendar)                                                                 \
    X(icalcomponent_new_vevent)                                                                    \
    X(icalcomponent_new_valarm)                                                                    \
    X(icalcomponent_add_component)                                                                 \
    X(icalcomponent_add_property)                                                                  \
    X(icalcomponent_as_ical_string_r)                                                              \
    X(icalcomponent_free)                                                                          \
    X(icalmemory_free_buffer)                                                                      \
    X(icaltime_from_timet_with_zone)                                                               \
    X(icaltimezone_get_utc_timezone)                                                               \
    X(icaltriggertype_from_int)                                                                    \
    X(icalproperty_new_action)                                                                     \
    X(icalproperty_new_calscale)                                                                   \
    X(icalproperty_new_description)                                                                \
    X(icalproperty_new_dtend)                                                                      \
    X(icalproperty_new_dtstamp)                                                                    \
    X(icalproperty_new_dtstart)                                                                    \
    X(icalproperty_new_geo)                                                                        \
    X(icalproperty_new_location)                                                                   \
    X(icalproperty_new_method)                                                                     \
    X(icalproperty_new_prodid)                                                                     \
    X(icalproperty_new_summary)                                                                    \
    X(icalproperty_new_transp)                                                                     \
    X(icalproperty_new_trigger)                                                                    \
    X(icalproperty_new_uid)                                                                        \
    X(icalproperty_new_version)

struct Ical {
#define LUNEX_ICAL_POINTER(name) decltype(&::name) name = nullptr;
    LUNEX_ICAL_FUNCTIONS(LUNEX_ICAL_POINTER)
#undef LUNEX_ICAL_POINTER
};

// The library, loaded once and kept; nothing when it or a function is missing.
const Ical *LoadedIcal() {
    static const std::optional<Ical> loaded = []() -> std::optional<Ical> {
        QLibrary library(QStringLiteral("ical"), 3);
        Ical ical;
        bool found = library.load();
#define LUNEX_ICAL_RESOLVE(name)                                                                   \
    ical.name = found ? reinterpret_cast<decltype(ical.name)>(library.resolve(#name)) : nullptr;   \
    found = found && ical.name != nullptr;
        LUNEX_ICAL_FUNCTIONS(LUNEX_ICAL_RESOLVE)
#undef LUNEX_ICAL_RESOLVE
        return found ? std::optional(ical) : std::nullopt;
    }();
    return loaded ? &*loaded : nullptr;
}
#undef LUNEX_ICAL_FUNCTIONS

icaltimetype UtcTime(const Ical &ical, qint64 seconds) {
    return ical.icaltime_from_timet_with_zone(seconds, 0, ical.icaltimezone_get_utc_timezone());
}

// Morning or evening, the date by the place's own mean solar time and the
// place to the fourth decimal of a degree (about 10 m): what names the event,
// whatever the zone or the place's name.
QByteArray Uid(const Evening &e, const Place &place) {
    return QStringLiteral("holdsarlo-%1-%2-%3-%4@lunex")
        .arg(e.isMorning() ? QStringLiteral("reggel") : QStringLiteral("este"),
             e.date.toString(QStringLiteral("yyyyMMdd")))
        .arg(place.latitude, 0, 'f', 4)
        .arg(place.longitude, 0, 'f', 4)
        .toUtf8();
}

QString Summary(const Evening &e) {
    return (e.isMorning() ? QStringLiteral("Öreg holdsarló – Yallop %1")
                          : QStringLiteral("Fiatal holdsarló – Yallop %1"))
        .arg(ClassLetter(e.sighting.yallop));
}

QString Description(const Evening &e, const CalendarRequest &r) {
    const CrescentSighting &s = e.sighting;
    const QLocale &loc = r.locale;
    const QDate shown = CivilDateOf(e, r.place, r.zone);
    const auto clock = [&](const std::optional<double> &jd) {
        return EveningClockText(jd, shown, r.zone, loc);
    };
    QString text =
        QStringLiteral("Legjobb időpont: %1 (%2)\n")
            .arg(clock(s.bestTime), r.zone == QTimeZone::utc() ? QStringLiteral("világidő")
                                                               : QString::fromUtf8(r.zone.id()));
    if (e.moonAtBestTime) {
        text += QStringLiteral("A Hold magassága: %1°, azimutja: %2° (északtól kelet felé)\n")
                    .arg(loc.toString(e.moonAtBestTime->altitude, 'f', 1),
                         loc.toString(e.moonAtBestTime->azimuth, 'f', 1));
    }
    // Negative in the morning: the time left to the new moon.
    text += QStringLiteral("A holdsarló kora: %1\n").arg(CrescentAgeText(e.age, loc));
    text += QStringLiteral("Yallop: %1 (q = %2), Odeh: %3 (V = %4)\n")
                .arg(ClassLetter(s.yallop))
                .arg(loc.toString(s.q, 'f', 3))
                .arg(ClassLetter(s.odeh))
                .arg(loc.toString(s.v, 'f', 2));
    text += (e.isMorning() ? QStringLiteral("Holdkelte: %2, napkelte: %1\n")
                           : QStringLiteral("Napnyugta: %1, holdnyugta: %2\n"))
                .arg(clock(s.sunEvent), clock(s.moonEvent));
    text += QStringLiteral("Hely: %1 (%2)").arg(r.placeName, PlaceText(r.place, loc));
    return text;
}

icalcomponent *Reminder(const Ical &ical, const QString &summary) {
    icalcomponent *alarm = ical.icalcomponent_new_valarm();
    ical.icalcomponent_add_property(alarm, ical.icalproperty_new_action(ICAL_ACTION_DISPLAY));
    const icaltriggertype trigger = ical.icaltriggertype_from_int(-ReminderMinutes * 60);
    ical.icalcomponent_add_property(alarm, ical.icalproperty_new_trigger(trigger));
    ical.icalcomponent_add_property(
        alarm, ical.icalproperty_new_description(summary.toUtf8().constData()));
    return alarm;
}

icalcomponent *Event(const Ical &ical, const Evening &e, const CalendarRequest &r) {
    const CrescentSighting &s = e.sighting;
    const QString summary = Summary(e);
    const auto add = [&ical](icalcomponent *to, icalproperty *property) {
        ical.icalcomponent_add_property(to, property);
    };
    icalcomponent *event = ical.icalcomponent_new_vevent();
    add(event, ical.icalproperty_new_uid(Uid(e, r.place).constData()));
    add(event, ical.icalproperty_new_dtstamp(UtcTime(ical, r.stamp.toSecsSinceEpoch())));
    // From sunset to moonset; in the morning from moonrise to sunrise.
    const double start = e.isMorning() ? *s.moonEvent : *s.sunEvent;
    const double end = e.isMorning() ? *s.sunEvent : *s.moonEvent;
    add(event, ical.icalproperty_new_dtstart(UtcTime(ical, MinuteOf(start).toSecsSinceEpoch())));
    add(event, ical.icalproperty_new_dtend(UtcTime(ical, MinuteOf(end).toSecsSinceEpoch())));
    add(event, ical.icalproperty_new_summary(summary.toUtf8().constData()));
    add(event, ical.icalproperty_new_location(r.placeName.toUtf8().constData()));
    add(event, ical.icalproperty_new_geo({r.place.latitude, r.place.longitude}));
    add(event, ical.icalproperty_new_description(Description(e, r).toUtf8().constData()));
    add(event, ical.icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    ical.icalcomponent_add_component(event, Reminder(ical, summary));
    return event;
}

} // namespace

CalendarFile FormatCrescentCalendar(const QList<Lunation> &lunations,
                                    const CalendarRequest &request) {
    CalendarFile file;
    const Ical *ical = LoadedIcal();
    if (ical == nullptr) {
        file.libraryLoaded = false;
        return file;
    }
    const std::unique_ptr<icalcomponent, decltype(&::icalcomponent_free)> calendar(
        ical->icalcomponent_new_vcalendar(), ical->icalcomponent_free);
    icalcomponent *top = calendar.get();
    ical->icalcomponent_add_property(top, ical->icalproperty_new_version("2.0"));
    ical->icalcomponent_add_property(top,
                                     ical->icalproperty_new_prodid("-//Lunex//Holdsarlók//HU"));
    ical->icalcomponent_add_property(top, ical->icalproperty_new_calscale("GREGORIAN"));
    ical->icalcomponent_add_property(top, ical->icalproperty_new_method(ICAL_METHOD_PUBLISH));
    for (const Lunation &lunation : lunations) {
        for (const Evening &e : MorningsAndEvenings(lunation)) {
            const CrescentSighting &s = e.sighting;
            if (s.status == CrescentStatus::Computed && s.yallop <= YallopClass::D && s.sunEvent &&
                s.moonEvent) {
                ical->icalcomponent_add_component(top, Event(*ical, e, request));
                ++file.events;
            }
        }
    }
    char *text = ical->icalcomponent_as_ical_string_r(top);
    file.bytes = QByteArray(text);
    ical->icalmemory_free_buffer(text);
    return file;
}

} // namespace lunex
