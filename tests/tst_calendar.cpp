// The mornings and evenings as an iCalendar file, read back by libical's own parser as a
// calendar program would: its events and their times, the place however odd
// its name, the reminders, and UIDs that stay the same on the next export.

#include "dates.h"
#include "lunar/places.h"
#include "lunar/yearoverview.h"
#include "texts/eveningcalendar.h"

#include <QTest>

#include <libical/ical.h>

#include <memory>

using namespace lunex;
using namespace lunex::test;

namespace {

using Calendar = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

Calendar Parse(const QByteArray &text) {
    return Calendar(icalparser_parse_string(text.constData()), &icalcomponent_free);
}

struct Event {
    QString uid, summary, location, description;
    QDateTime start, end;
    double latitude = 0, longitude = 0;
    int reminderSeconds = 0; // before the start
};

QDateTime Time(icaltimetype t) {
    return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, t.zone), QTimeZone::utc());
}

QList<Event> Events(icalcomponent *calendar) {
    QList<Event> events;
    for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        Event e;
        e.uid = QString::fromUtf8(icalcomponent_get_uid(c));
        e.summary = QString::fromUtf8(icalcomponent_get_summary(c));
        e.location = QString::fromUtf8(icalcomponent_get_location(c));
        e.description = QString::fromUtf8(icalcomponent_get_description(c));
        e.start = Time(icalcomponent_get_dtstart(c));
        e.end = Time(icalcomponent_get_dtend(c));
        if (icalproperty *geo = icalcomponent_get_first_property(c, ICAL_GEO_PROPERTY)) {
            e.latitude = icalproperty_get_geo(geo).lat;
            e.longitude = icalproperty_get_geo(geo).lon;
        }
        if (icalcomponent *alarm = icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT)) {
            icalproperty *trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
            e.reminderSeconds =
                trigger ? -icaldurationtype_as_int(icalproperty_get_trigger(trigger).duration) : 0;
        }
        events.append(e);
    }
    return events;
}

QList<Evening> VisibleDays(const QList<Lunation> &lunations) {
    QList<Evening> visible;
    for (const Lunation &l : lunations) {
        for (const Evening &e : MorningsAndEvenings(l)) {
            if (e.sighting.status == CrescentStatus::Computed &&
                e.sighting.yallop <= YallopClass::D) {
                visible.append(e);
            }
        }
    }
    return visible;
}

QList<Lunation> YearOf(const Place &place, int year) {
    return LunationsOf(ComputeYearOverview(place, year, QTimeZone::utc()));
}

CalendarRequest Request(const QString &name, const Place &place) {
    return {name, place, QTimeZone("Europe/Budapest"), QLocale(QLocale::Hungarian),
            Utc(2026, 12, 7, 20, 0)};
}

} // namespace

class TestCalendar : public QObject {
    Q_OBJECT

private slots:
    // Every evening and morning optical aid shows the crescent on is an
    // event; the place's name comes back as it was given, whatever the
    // format makes of its ';', ',' and line breaks.
    void eventsReadBack_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("builtIn");
        QTest::newRow("plain") << "Szeged"
                               << "Szeged";
        QTest::newRow("separators and a line break") << "Kis;hegy, \"csúcs\"\nkelet\\oldal"
                                                     << "Eger";
        QTest::newRow("long, accented, beyond Windows-1250")
            << QString("Árvíztűrő tükörfúrógép melletti dűlő – Ελληνικά, 観測地 ") +
                   QString(40, u'ő')
            << "Cape Town";
    }
    void eventsReadBack() {
        QFETCH(QString, name);
        QFETCH(QString, builtIn);
        const Place place = FindPlace(builtIn)->place;
        const QList<Lunation> lunations = YearOf(place, 2027);
        const CalendarFile file = FormatCrescentCalendar(lunations, Request(name, place));
        const QByteArray &text = file.bytes;

        // Lines end in CRLF and none is longer than 75 octets.
        QVERIFY(text.endsWith("\r\n"));
        for (const QByteArray &line : text.split('\n')) {
            QVERIFY2(line.size() <= 76 && (line.isEmpty() || line.endsWith('\r')),
                     line.constData());
        }
        const Calendar calendar = Parse(text);
        QVERIFY(calendar);
        QCOMPARE(icalcomponent_isa(calendar.get()), ICAL_VCALENDAR_COMPONENT);
        const QList<Event> events = Events(calendar.get());
        const QList<Evening> visible = VisibleDays(lunations);
        QVERIFY(visible.size() > 24);
        QCOMPARE(events.size(), visible.size());
        QCOMPARE(file.events, visible.size());
        for (qsizetype i = 0; i < events.size(); ++i) {
            const Event &e = events[i];
            const bool morning = visible[i].isMorning();
            const CrescentSighting &s = visible[i].sighting;
            // From sunset to moonset; from moonrise to sunrise in the morning.
            QCOMPARE(e.start, MinuteOf(morning ? *s.moonEvent : *s.sunEvent));
            QCOMPARE(e.end, MinuteOf(morning ? *s.sunEvent : *s.moonEvent));
            QVERIFY(e.start < e.end);
            QCOMPARE(e.summary, QStringLiteral("%1 holdsarló – Yallop %2")
                                    .arg(morning ? "Öreg" : "Fiatal")
                                    .arg(QChar(u'A' + int(s.yallop))));
            QCOMPARE(e.location, name);
            QVERIFY(qAbs(e.latitude - place.latitude) < 1e-4);
            QVERIFY(qAbs(e.longitude - place.longitude) < 1e-4);
            QVERIFY2(e.description.contains(QStringLiteral("%1 ó").arg(visible[i].age->totalHours)),
                     qPrintable(e.description));
            QVERIFY(e.description.contains(name));
            QVERIFY(e.reminderSeconds > 0);
        }
    }

    // The same morning or evening at the same place keeps its UID, whatever the name or
    // the moment of the export; another evening or place has another.
    void uidsStayTheSame() {
        const Place szeged = FindPlace(u"Szeged")->place;
        const QList<Lunation> lunations = YearOf(szeged, 2027);
        CalendarRequest later = Request(QStringLiteral("Otthon"), szeged);
        later.stamp = later.stamp.addDays(40);
        const QList<Event> first =
            Events(Parse(FormatCrescentCalendar(lunations, Request("Szeged", szeged)).bytes).get());
        const QList<Event> again =
            Events(Parse(FormatCrescentCalendar(lunations, later).bytes).get());
        QSet<QString> uids;
        for (qsizetype i = 0; i < first.size(); ++i) {
            QCOMPARE(again[i].uid, first[i].uid);
            uids.insert(first[i].uid);
        }
        QCOMPARE(uids.size(), first.size());
        Place nearby = szeged;
        nearby.longitude += 0.01;
        const QList<Event> elsewhere =
            Events(Parse(FormatCrescentCalendar(lunations, Request("Szeged", nearby)).bytes).get());
        QVERIFY(!uids.contains(elsewhere.first().uid));
    }
};

QTEST_MAIN(TestCalendar)
#include "tst_calendar.moc"
