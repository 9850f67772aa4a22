#include "lunar/lunarage.h"
#include "texts/datetext.h"
#include "texts/numbertext.h"
#include "texts/placereader.h"
#include "texts/placetext.h"

#include "dates.h"

#include <QTest>

#include <cmath>

using namespace lunex;
using namespace lunex::test;

namespace {

// What a place field reads: "lat", "lon" or "elev".
std::optional<double> ReadPlaceField(const QString &field, const QString &text,
                                     const QLocale &locale) {
    if (field == u"elev") {
        return ReadElevation(text, locale);
    }
    return ReadCoordinate(text, field == u"lat" ? Axis::Latitude : Axis::Longitude, locale);
}

} // namespace

class TestTextForms : public QObject {
    Q_OBJECT

private slots:
    void accepts_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("value");
        const QDateTime nm = Utc(2026, 11, 20, 6, 47);
        for (const char *loc : {"hu_HU", "en_US", "de_DE"}) {
            const QString l = loc;
            QTest::addRow("%s ISO with minutes", loc) << l << "2026-11-20 06:47" << nm;
            QTest::addRow("%s ISO with T and seconds", loc)
                << l << "2026-11-20T06:47:05" << Utc(2026, 11, 20, 6, 47, 5);
            QTest::addRow("%s dotted year first", loc) << l << "2026.11.20 6:47" << nm;
            QTest::addRow("%s slashed year first", loc) << l << "2026/11/20 06:47" << nm;
            QTest::addRow("%s Hungarian form", loc) << l << "2026. 11. 20. 6:47" << nm;
            QTest::addRow("%s date alone is midnight", loc)
                << l << "2026-11-20" << Utc(2026, 11, 20);
            QTest::addRow("%s white space and line breaks around", loc)
                << l << " \t2026-11-20   06:47\r\n"
                << nm;
            QTest::addRow("%s AM/PM in every locale", loc)
                << l << "2026-11-20 6:47 PM" << Utc(2026, 11, 20, 18, 47);
            QTest::addRow("%s 12 AM is midnight", loc)
                << l << "2026-11-20 12:00 am" << Utc(2026, 11, 20);
            QTest::addRow("%s leap day", loc)
                << l << "2024-02-29 23:59:59" << Utc(2024, 2, 29, 23, 59, 59);
            QTest::addRow("%s year 100", loc) << l << "0100-01-01 00:00" << Utc(100, 1, 1);
            QTest::addRow("%s year 9999", loc)
                << l << "9999-12-31 23:59:59" << Utc(9999, 12, 31, 23, 59, 59);
        }
        QTest::newRow("hu month name") << "hu_HU"
                                       << "2026. november 20. 6:47" << nm;
        QTest::newRow("hu abbreviated month") << "hu_HU"
                                              << "2026. nov. 20." << Utc(2026, 11, 20);
        QTest::newRow("hu upper case month") << "hu_HU"
                                             << "2026. NOVEMBER 20." << Utc(2026, 11, 20);
        QTest::newRow("hu accented month") << "hu_HU"
                                           << "2026. március 1." << Utc(2026, 3, 1);
        QTest::newRow("hu du. marker") << "hu_HU"
                                       << "2026-11-20 6:47 du." << Utc(2026, 11, 20, 18, 47);
        QTest::newRow("de day first") << "de_DE"
                                      << "20.11.2026 06:47" << nm;
        QTest::newRow("de two-digit year") << "de_DE"
                                           << "20.11.26" << Utc(2026, 11, 20);
        QTest::newRow("de two-digit year 30 is 1930") << "de_DE"
                                                      << "1.2.30" << Utc(1930, 2, 1);
        QTest::newRow("de month name") << "de_DE"
                                       << "20. November 2026 6:47" << nm;
        QTest::newRow("en_US month first") << "en_US"
                                           << "11/20/2026 6:47 AM" << nm;
        QTest::newRow("en_US two-digit year 29 is 2029") << "en_US"
                                                         << "1/2/29" << Utc(2029, 1, 2);
        QTest::newRow("en_US month name first") << "en_US"
                                                << "Nov 20, 2026 06:47" << nm;
        QTest::newRow("en_US day then month name") << "en_US"
                                                   << "20 Nov 2026" << Utc(2026, 11, 20);
        QTest::newRow("en_US full month name") << "en_US"
                                               << "november 20 2026" << Utc(2026, 11, 20);
        QTest::newRow("en_GB day first") << "en_GB"
                                         << "20/11/2026 06:47" << nm;
    }
    void accepts() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QDateTime, value);
        const auto parsed = ParseDateTimeText(text, QLocale(locale), UtcZone);
        QVERIFY2(parsed.has_value(), qPrintable(text));
        QCOMPARE(*parsed, value);
    }

    void rejects_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        for (const char *loc : {"hu_HU", "en_US", "de_DE"}) {
            const QString l = loc;
            QTest::addRow("%s empty", loc) << l << "";
            QTest::addRow("%s blanks only", loc) << l << "   \r\n";
            QTest::addRow("%s time alone", loc) << l << "17:30";
            QTest::addRow("%s text", loc) << l << "tegnap";
            QTest::addRow("%s 30 February", loc) << l << "2026-02-30";
            QTest::addRow("%s 29 February of a common year", loc) << l << "2025-02-29";
            QTest::addRow("%s month 13", loc) << l << "2026-13-01";
            QTest::addRow("%s hour 24", loc) << l << "2026-11-20 24:00";
            QTest::addRow("%s minute 60", loc) << l << "2026-11-20 06:60";
            QTest::addRow("%s second 60", loc) << l << "2026-11-20 06:47:60";
            QTest::addRow("%s one-digit minute", loc) << l << "2026-11-20 06:7";
            QTest::addRow("%s leftover", loc) << l << "2026-11-20 06:47 x";
            QTest::addRow("%s incomplete", loc) << l << "2026-11";
            QTest::addRow("%s incomplete time", loc) << l << "2026-11-20 06:";
            QTest::addRow("%s year 99", loc) << l << "0099-12-31";
            QTest::addRow("%s year 10000", loc) << l << "10000-01-01";
            QTest::addRow("%s mixed separators", loc) << l << "2026-11/20";
            QTest::addRow("%s 13 PM", loc) << l << "2026-11-20 13:00 PM";
            QTest::addRow("%s 0 AM", loc) << l << "2026-11-20 0:30 AM";
            QTest::addRow("%s blank inside the time", loc) << l << "2026-11-20 06: 47";
            QTest::addRow("%s NUL", loc) << l << QString::fromUtf8("2026-11-20\0", 11);
            QTest::addRow("%s non-ASCII digits", loc) << l << QStringLiteral("٢٠٢٦-11-20");
        }
        QTest::newRow("hu day first is not its order") << "hu_HU"
                                                       << "20.11.2026";
        QTest::newRow("de month name of another language") << "de_DE"
                                                           << "2026. noviembre 20.";
        QTest::newRow("en_US 13th month") << "en_US"
                                          << "13/20/2026";
    }
    void rejects() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QVERIFY2(!ParseDateTimeText(text, QLocale(locale), UtcZone).has_value(), qPrintable(text));
    }

    // Every date and date-time that Lunex prints converts back to the same
    // value in the locale that printed it.
    void printedFormsRoundTrip_data() {
        QTest::addColumn<QString>("locale");
        for (const char *loc : {"hu_HU", "en_US", "de_DE", "en_GB", "fr_FR", "ja_JP", "ko_KR",
                                "bg_BG", "ar_EG", "fa_IR", "zh_CN", "ru_RU", "pl_PL"}) {
            QTest::newRow(loc) << QString(loc);
        }
    }
    void printedFormsRoundTrip() {
        QFETCH(QString, locale);
        const QLocale l(locale);
        for (const QDateTime &v :
             {Utc(2026, 11, 23, 17, 30), Utc(2026, 1, 2, 0, 0, 1), Utc(2026, 1, 2),
              Utc(100, 1, 1, 12, 0), Utc(9999, 12, 31, 23, 59, 59), Utc(2024, 2, 29, 0, 59, 9)}) {
            const QString general = GeneralDateText(v, l);
            const auto back = ParseDateTimeText(general, l, UtcZone);
            QVERIFY2(back.has_value(), qPrintable(general));
            QCOMPARE(*back, v);
            const QString shortDate = ShortDateText(v.date(), l);
            const auto day = ParseDateTimeText(shortDate, l, UtcZone);
            QVERIFY2(day.has_value(), qPrintable(shortDate));
            QCOMPARE(day->date(), v.date());
            QCOMPARE(day->time(), QTime(0, 0));
        }
    }

    void printedForms_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("general");
        QTest::addColumn<QString>("midnight");
        QTest::newRow("hu") << "hu_HU"
                            << "2026. 11. 23. 17:30:00"
                            << "2026. 11. 23.";
        QTest::newRow("en_US") << "en_US"
                               << "11/23/2026 5:30:00 PM"
                               << "11/23/2026";
        QTest::newRow("de") << "de_DE"
                            << "23.11.2026 17:30:00"
                            << "23.11.2026";
        // The zone stands alone in brackets there: no empty "()" is left.
        QTest::newRow("fa") << "fa_IR" << QStringLiteral("۲۰۲۶/۱۱/۲۳ ۱۷:۳۰:۰۰")
                            << QStringLiteral("۲۰۲۶/۱۱/۲۳");
    }
    void printedForms() {
        QFETCH(QString, locale);
        QFETCH(QString, general);
        QFETCH(QString, midnight);
        QCOMPARE(GeneralDateText(Utc(2026, 11, 23, 17, 30), QLocale(locale)), general);
        QCOMPARE(GeneralDateText(Utc(2026, 11, 23), QLocale(locale)), midnight);
    }

    void numberPatterns_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("c");
        QTest::addColumn<QString>("hu");
        QTest::newRow("3.125 ties away from zero") << 3.125 << 2 << "3.13"
                                                   << "3,13";
        // Ties as the printed decimals show them, though the binary value lies below.
        QTest::newRow("2.675 ties up") << 2.675 << 2 << "2.68"
                                       << "2,68";
        QTest::newRow("1.005 ties up") << 1.005 << 2 << "1.01"
                                       << "1,01";
        QTest::newRow("a 15th digit decides") << 1.00499999999999 << 2 << "1.00"
                                              << "1,00";
        QTest::newRow("three decimals") << 0.0015 << 3 << "0.002"
                                        << "0,002";
        QTest::newRow("a tie in the first digit") << 0.0005 << 3 << "0.001"
                                                  << "0,001";
        QTest::newRow("0.005 is above the tie in binary") << 0.005 << 2 << "0.01"
                                                          << "0,01";
        QTest::newRow("0.05 one decimal") << 0.05 << 1 << "0.1"
                                          << "0,1";
        QTest::newRow("0.25 one decimal ties up") << 0.25 << 1 << "0.3"
                                                  << "0,3";
        QTest::newRow("zero") << 0.0 << 2 << "0.00"
                              << "0,00";
        QTest::newRow("leading zero") << 0.5 << 2 << "0.50"
                                      << "0,50";
        QTest::newRow("hundred") << 100.0 << 1 << "100.0"
                                 << "100,0";
        QTest::newRow("no grouping") << 1234567.891 << 2 << "1234567.89"
                                     << "1234567,89";
        QTest::newRow("negative") << -750.00045 << 2 << "-750.00"
                                  << "-750,00";
        QTest::newRow("negative tie") << -0.125 << 2 << "-0.13"
                                      << "-0,13";
        QTest::newRow("tiny negative rounds to plain zero") << -0.001 << 2 << "0.00"
                                                            << "0,00";
        QTest::newRow("tiny positive") << 1e-300 << 2 << "0.00"
                                       << "0,00";
        QTest::newRow("beyond 2^53") << 1e20 << 2 << "100000000000000000000.00"
                                     << "100000000000000000000,00";
        QTest::newRow("9.995 carries to ten") << 9.995 << 2 << "10.00"
                                              << "10,00";
        QTest::newRow("99.95 carries") << 99.96 << 1 << "100.0"
                                       << "100,0";
    }
    void numberPatterns() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, c);
        QFETCH(QString, hu);
        QCOMPARE(FormatPattern(value, decimals, QLocale::c()), c);
        QCOMPARE(FormatPattern(value, decimals, QLocale(QLocale::Hungarian, QLocale::Hungary)), hu);
    }

    // The place dialog's fields as observers type them; NaN: refused.
    void readsPlaceFields_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        const double no = qQNaN();
        const auto row = [](const char *name, const char *locale, const char *field,
                            const QString &text, double value) {
            QTest::newRow(name) << locale << field << text << value;
        };
        row("decimal comma", "hu_HU", "lat", "47,5", 47.5);
        row("point in a comma locale", "hu_HU", "lat", "47.5", 47.5);
        row("degree sign", "hu_HU", "lon", " 19,04° ", 19.04);
        row("minus sign", "hu_HU", "lat", "-33,92", -33.92);
        row("typographic minus", "hu_HU", "lon", "−70,67", -70.67);
        row("plus sign", "hu_HU", "lon", "+19", 19);
        row("degrees and minutes", "hu_HU", "lat", "47° 29,9′", 47 + 29.9 / 60);
        row("degrees and minutes, blank only", "hu_HU", "lat", "47 29.9", 47 + 29.9 / 60);
        row("minutes with an apostrophe, no blanks", "hu_HU", "lon", "19°2,4'", 19.04);
        row("seconds", "hu_HU", "lat", "47° 29′ 54″", 47 + 29 / 60.0 + 54 / 3600.0);
        row("seconds with ASCII marks", "en_US", "lat", "47°29'54.5\"",
            47 + 29 / 60.0 + 54.5 / 3600.0);
        row("north letter after", "hu_HU", "lat", "47° 29,9′ É", 47 + 29.9 / 60);
        row("south letter, small", "hu_HU", "lat", "33,92 d", -33.92);
        row("west letters before", "hu_HU", "lon", "Ny 70° 40,2′", -(70 + 40.2 / 60));
        row("east letter joined", "hu_HU", "lon", "19,04K", 19.04);
        row("decomposed É", "hu_HU", "lat", "47,5 E\u0301", 47.5);
        row("the pole", "hu_HU", "lat", "90", 90);
        row("the date line", "hu_HU", "lon", "-180", -180);
        row("point in a point locale", "en_US", "lon", "151.21", 151.21);
        row("elevation", "hu_HU", "elev", "105", 105);
        row("elevation with m", "hu_HU", "elev", "1795,5 m", 1795.5);
        row("below sea level", "hu_HU", "elev", "-28", -28);
        row("empty", "hu_HU", "lat", "", no);
        row("not a number", "hu_HU", "lat", "észak", no);
        row("past the pole", "hu_HU", "lat", "90,01", no);
        row("past the date line", "hu_HU", "lon", "180° 0,1′", no);
        row("60 minutes", "hu_HU", "lat", "47° 60′", no);
        row("60 seconds", "hu_HU", "lat", "47 29 60", no);
        row("decimal degrees with minutes", "hu_HU", "lat", "47,5° 10′", no);
        row("longitude letter on a latitude", "hu_HU", "lat", "47 K", no);
        row("E is not É: it would be east in English", "hu_HU", "lat", "47 E", no);
        row("sign and letter", "hu_HU", "lat", "-33,92 D", no);
        row("two letters", "hu_HU", "lat", "É 47 D", no);
        row("minutes without degrees", "hu_HU", "lat", "29,9′", no);
        row("digits run together", "hu_HU", "lat", "4729", no);
        row("comma in a point locale", "en_US", "lat", "47,5", no);
        row("point groups thousands in German", "de_DE", "elev", "1.200", no);
        row("elevation above the mountains", "hu_HU", "elev", "9000,1", no);
        row("elevation in feet", "hu_HU", "elev", "344 ft", no);
        row("non-ASCII digits", "hu_HU", "lat", "\u0664\u0667", no);
    }
    void readsPlaceFields() {
        QFETCH(QString, locale);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(double, value);
        const std::optional<double> read = ReadPlaceField(field, text, QLocale(locale));
        QCOMPARE(read.has_value(), !std::isnan(value));
        if (read) {
            QVERIFY2(std::abs(*read - value) < 1e-9, qPrintable(QString::number(*read, 'g', 17)));
        }
    }

    // What a field shows reads back as the place it shows, in every locale.
    void placeFieldsReadBack_data() {
        QTest::addColumn<QString>("locale");
        for (const char *loc : {"hu_HU", "en_US", "de_DE", "fr_FR", "ar_EG"}) {
            QTest::newRow(loc) << QString(loc);
        }
    }
    void placeFieldsReadBack() {
        QFETCH(QString, locale);
        const QLocale l(locale);
        QCOMPARE(CoordinateText(47.5, Axis::Latitude, QLocale(QLocale::Hungarian)),
                 QStringLiteral("47,5° É"));
        for (const double degrees : {47.498333, -33.92, 0.0, -0.0000001, 90.0, -180.0, 19.04}) {
            for (const Axis axis : {Axis::Latitude, Axis::Longitude}) {
                if (axis == Axis::Latitude && std::abs(degrees) > 90) {
                    continue;
                }
                const QString shown = CoordinateText(degrees, axis, l);
                const auto back = ReadCoordinate(shown, axis, l);
                QVERIFY2(back && std::abs(*back - degrees) < 1e-6, qPrintable(shown));
            }
        }
        for (const double metres : {105.0, -28.0, 2240.0, 8848.9}) {
            const QString shown = ElevationText(metres, l);
            QCOMPARE(ReadElevation(shown, l), std::optional(metres));
        }
    }

    // A place's name in a suggested file name leads into no other folder and
    // starts no hidden file; what is left of the name is still readable.
    void fileNameParts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("part");
        QTest::newRow("a '/' in the name") << "Szeged/Tápé"
                                           << "Szeged-Tápé";
        QTest::newRow("a way out of the folder") << "../../.ssh/authorized_keys"
                                                 << "ssh-authorized-keys";
        QTest::newRow("a Windows path") << "C:\\Windows\\x"
                                        << "C-Windows-x";
        QTest::newRow("blanks and a tab") << "  Kis   Tanya\t"
                                          << "Kis-Tanya";
        QTest::newRow("letters of other scripts") << "Tromsø 東京"
                                                  << "Tromsø-東京";
        QTest::newRow("nothing but signs") << "/// ..."
                                           << "hely";
        QTest::newRow("a very long name") << QString(300, u'a') << QString(60, u'a');
    }
    void fileNameParts() {
        QFETCH(QString, name);
        QFETCH(QString, part);
        QCOMPARE(FileNamePart(name), part);
    }
};

QTEST_GUILESS_MAIN(TestTextForms)
#include "tst_textforms.moc"
