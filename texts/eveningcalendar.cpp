#include "texts/eveningcalendar.h"

#include "texts/eveningtexts.h"
#include "texts/placetext.h"

#include <libical/ical.h>

#include <memory>

namespace lunex {
namespace {

// libical writes the format's escaping of ',', ';' and line breaks and folds
// its long lines without splitting a character: nothing of it by hand.
using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

icaltimetype UtcTime(double jd) {
    return icaltime_from_timet_with_zone(MinuteOf(jd).toSecsSinceEpoch(), 0,
                                         icaltimezone_get_utc_timezone());
}

icaltimetype UtcTime(const QDateTime &instant) {
    return icaltime_from_timet_with_zone(instant.toSecsSinceEpoch(), 0,
                                         icaltimezone_get_utc_timezone());
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

icalcomponent *Reminder(const QString &summary) {
    icalcomponent *alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icaltriggertype trigger = icaltriggertype_from_int(-ReminderMinutes * 60);
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    icalcomponent_add_property(alarm, icalproperty_new_description(summary.toUtf8().constData()));
    return alarm;
}

icalcomponent *Event(const Evening &e, const CalendarRequest &r) {
    const CrescentSighting &s = e.sighting;
    const QString summary = Summary(e);
    icalcomponent *event = icalcomponent_new_vevent();
    icalcomponent_add_property(event, icalproperty_new_uid(Uid(e, r.place).constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(UtcTime(r.stamp)));
    // From sunset to moonset; in the morning from moonrise to sunrise.
    const double start = e.isMorning() ? *s.moonEvent : *s.sunEvent;
    const double end = e.isMorning() ? *s.sunEvent : *s.moonEvent;
    icalcomponent_add_property(event, icalproperty_new_dtstart(UtcTime(start)));
    icalcomponent_add_property(event, icalproperty_new_dtend(UtcTime(end)));
    icalcomponent_add_property(event, icalproperty_new_summary(summary.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_location(r.placeName.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_geo({r.place.latitude, r.place.longitude}));
    icalcomponent_add_property(
        event, icalproperty_new_description(Description(e, r).toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    icalcomponent_add_component(event, Reminder(summary));
    return event;
}

} // namespace

CalendarFile FormatCrescentCalendar(const QList<Lunation> &lunations,
                                    const CalendarRequest &request) {
    CalendarFile file;
    const Component calendar(icalcomponent_new_vcalendar(), &icalcomponent_free);
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Lunex//Holdsarlók//HU"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_method(ICAL_METHOD_PUBLISH));
    for (const Lunation &lunation : lunations) {
        for (const Evening &e : MorningsAndEvenings(lunation)) {
            const CrescentSighting &s = e.sighting;
            if (s.status == CrescentStatus::Computed && s.yallop <= YallopClass::D && s.sunEvent &&
                s.moonEvent) {
                icalcomponent_add_component(calendar.get(), Event(e, request));
                ++file.events;
            }
        }
    }
    char *text = icalcomponent_as_ical_string_r(calendar.get());
    file.bytes = QByteArray(text);
    icalmemory_free_buffer(text);
    return file;
}

} // namespace lunex
