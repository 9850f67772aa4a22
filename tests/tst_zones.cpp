// The system's zone from every form of TZ, and the zones --zone names, each
// checked against the C library's reading of the same TZ: the offset it
// gives, hour by hour across a year of both clock changes and at times far
// apart.

#include "clock/civiltime.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <ctime>

using namespace lunex;

namespace {

const QString ZoneInfo = QStringLiteral("/usr/share/zoneinfo");
const QByteArray Unset = "<unset>";
// Set in the child that reads one rule alone, under the parent's time limit.
const char *const InChild = "LUNEX_TST_ZONES_CHILD";

void SetTz(const QByteArray &tz) {
    if (tz == Unset) {
        qunsetenv("TZ");
    } else {
        qputenv("TZ", tz);
    }
    tzset();
}

// Every third hour of 2025, then every tenth day from 1970 to 2100. The C
// library follows a POSIX rule from 1970 only; before that it ignores the
// summer time that the rule gives every year.
QList<qint64> Instants() {
    QList<qint64> instants;
    const qint64 y2025 =
        QDateTime(QDate(2025, 1, 1), QTime(0, 30), QTimeZone::utc()).toSecsSinceEpoch();
    for (qint64 t = y2025; t < y2025 + 365 * 86400; t += 3 * 3600) {
        instants << t;
    }
    const qint64 y2100 =
        QDateTime(QDate(2100, 1, 1), QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch();
    for (qint64 t = 0; t < y2100; t += 10 * 86400 + 3600) {
        instants << t;
    }
    return instants;
}

// The first instant (of every `stride`th) at which the zone's offset is not
// the C library's under the TZ set now; empty when there is none.
QString FirstDisagreement(const QTimeZone &zone, int stride = 1) {
    static const QList<qint64> instants = Instants();
    for (qsizetype i = 0; i < instants.size(); i += stride) {
        const qint64 t = instants[i];
        const std::time_t c = std::time_t(t);
        std::tm local{};
        localtime_r(&c, &local);
        const int offset = zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(t, QTimeZone::utc()));
        if (offset != local.tm_gmtoff) {
            return QStringLiteral("%1: %2 s, the C library %3 s")
                .arg(QDateTime::fromSecsSinceEpoch(t, QTimeZone::utc()).toString(Qt::ISODate))
                .arg(offset)
                .arg(local.tm_gmtoff);
        }
    }
    return {};
}

// The zone files of the database, by name: what the C library finds under
// TZ=name. Leaves out the copies (posix/, and right/ with leap seconds) and
// what the folder holds besides: tables, /etc/localtime's link, the default rules.
QStringList ZoneFileNames() {
    QStringList names;
    QDirIterator files(ZoneInfo, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString name = files.next().mid(ZoneInfo.size() + 1);
        QFile file(files.filePath());
        if (name.startsWith(u"posix/") || name.startsWith(u"right/") || name == u"localtime" ||
            name == u"posixrules" || !file.open(QIODevice::ReadOnly) || file.read(4) != "TZif") {
            continue;
        }
        names << name;
    }
    return names;
}

} // namespace

class TestZones : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetTz("UTC"); }

    void systemZoneFromEveryForm_data() {
        QTest::addColumn<QByteArray>("tz");
        QTest::addColumn<QString>("zoneId"); // empty: refused, UTC stands in
        // Unset, empty or ":", the system's own setting, whatever it is here.
        for (const QByteArray &system : {Unset, QByteArray(), QByteArray(":")}) {
            QTest::addRow("system: '%s'", system.constData()) << system << "<system>";
        }
        const char *const named[][2] = {
            {"Europe/Budapest", "Europe/Budapest"},
            {":Europe/Budapest", "Europe/Budapest"},
            {"/usr/share/zoneinfo/Europe/Budapest", "Europe/Budapest"},
            {":/usr/share/zoneinfo/Europe/Budapest", "Europe/Budapest"},
            {"/usr/share/zoneinfo/posix/Europe/Budapest", "Europe/Budapest"},
            {"/usr/share/zoneinfo/Europe/../Europe/Budapest", "Europe/Budapest"},
            {"Europe/Kiev", "Europe/Kiev"},
            {"Etc/GMT+5", "Etc/GMT+5"},
            {"EST5EDT", "EST5EDT"},
            {"UTC", "UTC"},
            {"America/Sao_Paulo", "America/Sao_Paulo"},
            {"Australia/Lord_Howe", "Australia/Lord_Howe"},
        };
        for (const auto &[tz, id] : named) {
            QTest::addRow("%s", tz) << QByteArray(tz) << QString::fromLatin1(id);
        }
        // POSIX rules with summer time and both its dates, as Qt reads them.
        for (const char *rule :
             {"EST5EDT,M3.2.0,M11.1.0", ":EST5EDT,M3.2.0,M11.1.0", "CET-1CEST,M3.5.0,M10.5.0/3",
              "EST+5EDT+4,M3.2.0/2,M11.1.0/2", "NZST-12NZDT,M9.5.0,M4.1.0/3",
              "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1", "ABC5DEF4,M3.2.0/-1,M11.1.0/26",
              "ABC-3DEF,J60/2,J300", "ABC-3DEF,59,299", "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0",
              // As the C library reads them where Qt reads them otherwise:
              // changes from -167 to 167 hours, summer time that in some
              // years ends before it begins, the days of the year 0 and 365.
              "PIQ+6EMS-14,M9.2.5/26:24,J254", "ABC5DEF,M4.2.5/-19,M6.4.2/-20",
              "ABC5DEF,M3.2.0/167,M11.1.0/-167", "ABC5DEF,0,365", "ABC5DEF,J365/25,J1/-3",
              "<-03>3<+14>-14,M12.5.6/100,M1.1.0/-100",
              // Qt takes it for a zone of its own naming.
              "UTC+3DST,M3.2.0,M11.1.0"}) {
            const QString id = QString::fromLatin1(rule);
            QTest::addRow("%s", rule) << QByteArray(rule) << (id.startsWith(u':') ? id.mid(1) : id);
        }
        // Fixed offsets, with POSIX's sign: west of Greenwich is positive.
        const char *const fixed[][2] = {
            {"UTC+3", "UTC-03"},
            {"UTC-3", "UTC+03"},
            {"<+0330>-3:30", "UTC+03:30"},
            {"GMT-5", "UTC+05"},
            {"IST-5:30", "UTC+05:30"},
            {"<-0930>9:30", "UTC-09:30"},
            {"XYZ+1:02:03", "UTC-01:02:03"},
            {"XYZ0", "UTC"},
        };
        for (const auto &[tz, id] : fixed) {
            QTest::addRow("%s", tz) << QByteArray(tz) << QString::fromLatin1(id);
        }
        for (const char *unknown :
             {"Europe/Atlantis", "Budapest", "europe/budapest", "posixrules", "localtime",
              "right/Europe/Budapest", "/tmp/Europe/Budapest", "/usr/share/zoneinfo/right/UTC",
              "ABC5DEF",        // summer time without its dates
              "EST5EDT,M3.2.0", // with only one of them
              "UTC+15", "UTC+25", "AB+3", "<A>3", "UTC+3x",
              // Out of POSIX's ranges, which the C library reads one way
              // and Qt another: week 0 or 6, weekday 7, an offset over 24 h,
              // days of the year past their ends, a change past 167 h.
              "ABC5DEF,M3.6.0,M11.1.0", "ABC5DEF,M3.0.0,M11.1.0", "ABC5DEF,M3.2.7,M11.1.0",
              "ABC5DEF-25,M3.2.0,M11.1.0", "ABC25DEF,M3.2.0,M11.1.0", "ABC5DEF,J0,J365",
              "ABC5DEF,J60,366", "ABC5DEF,M3.2.0/168,M11.1.0", "ABC5DEF,M3.2.0/2:60,M11.1.0",
              "ABC5DEF,M3.2.0/,M11.1.0", "ABC5DEF,M3.2.0,M11.1.0,", "ABC5DEF,M3.2,M11.1.0",
              "ABC5DEF,M3.2.0", "ABC5DEF,M3.2.0;M11.1.0", "ABC5DEF4:60,M3.2.0,M11.1.0",
              "ABC5DEF,M0.1.0,M11.1.0", "ABC5DEF,J400,M11.1.0"}) {
            QTest::addRow("unknown: %s", unknown) << QByteArray(unknown) << QString();
        }
    }
    void systemZoneFromEveryForm() {
        QFETCH(QByteArray, tz);
        QFETCH(QString, zoneId);
        SetTz(tz);
        const SystemZoneSetting setting = ReadSystemZone();
        QCOMPARE(SystemZone(), setting.zone);
        if (zoneId.isEmpty()) {
            QCOMPARE(setting.unknown, QString::fromLatin1(tz));
            QCOMPARE(setting.zone, QTimeZone::utc());
            return;
        }
        QCOMPARE(setting.unknown, QString());
        if (zoneId == u"<system>") {
            // The C library takes an empty TZ for UTC, not for the system's zone.
            SetTz(Unset);
        } else {
            QCOMPARE(ZoneName(setting.zone), zoneId);
        }
        const QString disagreement = FirstDisagreement(setting.zone);
        QVERIFY2(disagreement.isEmpty(), qPrintable(disagreement));
    }

    // Every zone of the database by its name (aliases, Etc/ and the old
    // System V names included), each the C library's zone of that name.
    void everyDatabaseNameIsAZone() {
        const QStringList names = ZoneFileNames();
        QVERIFY2(names.size() > 500, qPrintable(QString::number(names.size())));
        for (const QString &name : names) {
            const std::optional<QTimeZone> zone = NamedZone(name);
            QVERIFY2(zone, qPrintable(name));
            QCOMPARE(QString::fromUtf8(zone->id()), name);
            SetTz(name.toUtf8());
            const QString disagreement = FirstDisagreement(*zone, 5);
            QVERIFY2(disagreement.isEmpty(),
                     qPrintable(name + QStringLiteral(": ") + disagreement));
        }
    }

    // Rules on which Qt loops for ever: read in a child of this test, which
    // must end in time, the rule taken for unknown.
    void rulesThatHangQtEndUnknown_data() {
        QTest::addColumn<QByteArray>("tz");
        for (const char *rule : {"EST5EDT,M13.2.0,M11.1.0", "EST5EDT,M3.2.0,M13.1.0",
                                 "EST5EDT,M99.2.0,M11.1.0", "CET-1CEST,M10.5.0,M13.5.0/3"}) {
            QTest::addRow("%s", rule) << QByteArray(rule);
        }
    }
    void rulesThatHangQtEndUnknown() {
        QFETCH(QByteArray, tz);
        if (qEnvironmentVariableIsSet(InChild)) {
            SetTz(tz);
            const SystemZoneSetting setting = ReadSystemZone();
            QCOMPARE(setting.unknown, QString::fromLatin1(tz));
            QCOMPARE(setting.zone, QTimeZone::utc());
            return;
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(InChild), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("rulesThatHangQtEndUnknown:") +
                     QString::fromLatin1(QTest::currentDataTag())});
        const bool ended = child.waitForFinished(20000);
        if (!ended) {
            child.kill();
            child.waitForFinished();
        }
        QVERIFY2(ended, "still reading the rule after 20 s");
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAllStandardOutput().constData());
    }

    void otherNamesAreNot_data() {
        QTest::addColumn<QString>("name");
        for (const char *name :
             {"", "Budapest", "Hungary", "CEST", "europe/budapest", "Europe/Budapest ",
              ":Europe/Budapest", "/usr/share/zoneinfo/Europe/Budapest", "posix/Europe/Budapest",
              "right/Europe/Budapest", "Europe/../Europe/Budapest", "posixrules", "localtime",
              "zone.tab", "tzdata.zi", "UTC+1", "UTC+01:00", "EST5EDT,M3.2.0,M11.1.0",
              // Words of tzdata.zi that name no zone: a rule, a zone's
              // abbreviations, a name cut short, the line's letter and more
              // than the name.
              "EU", "CE%sT", "Europe/Budapes", "urope/Budapest", "Z", "Z Europe/Budapest",
              "Europe/Budapest\n"}) {
            QTest::addRow("'%s'", name) << QString::fromLatin1(name);
        }
    }
    void otherNamesAreNot() {
        QFETCH(QString, name);
        QVERIFY(!NamedZone(name));
    }
};

QTEST_GUILESS_MAIN(TestZones)
#include "tst_zones.moc"
