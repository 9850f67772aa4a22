#include "calc/angles.h"

#include <QTest>

using namespace lunex;

Q_DECLARE_METATYPE(lunex::AngleConversion)

namespace {
constexpr auto Deg = AngleConversion::DegToMil;
constexpr auto Mil = AngleConversion::MilToDeg;
} // namespace

class TestCalc : public QObject {
    Q_OBJECT

private slots:
    void factor() {
        // The historic factor, not 6000/360: the printed values depend on it.
        QCOMPARE(MilsPerDegree, 16.66667);
        QCOMPARE(DegToMil(360), 360 * 16.66667);
        QVERIFY(MilToDeg(6000) < 360);
    }

    // A null expected text means the message and nothing printed.
    void convert_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<AngleConversion>("conversion");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("printed");

        const QString none;
        for (const char *loc : {"hu_HU", "en_US"}) {
            const QString l = loc;
            const QString sep = QLocale(l).decimalPoint();
            auto n = [&](const char *number) {
                return QString::fromLatin1(number).replace('.', sep);
            };
            QTest::addRow("%s 90 deg", loc) << l << Deg << "90" << n(" 1500.00");
            QTest::addRow("%s 360 deg", loc) << l << Deg << "360" << n(" 6000.00");
            QTest::addRow("%s 1 deg", loc) << l << Deg << "1" << n(" 16.67");
            QTest::addRow("%s -45 deg", loc) << l << Deg << "-45" << n(" -750.00");
            QTest::addRow("%s 0 deg", loc) << l << Deg << "0" << n(" 0.00");
            QTest::addRow("%s tiny negative is no -0.00", loc) << l << Mil << "-0" << n(" 0.00");
            QTest::addRow("%s 6000 mil", loc) << l << Mil << "6000" << n(" 360.00");
            QTest::addRow("%s 1 mil", loc) << l << Mil << "1" << n(" 0.06");
            QTest::addRow("%s 3000 mil", loc) << l << Mil << "3000" << n(" 180.00");
            QTest::addRow("%s blanks around", loc) << l << Deg << "  90 " << n(" 1500.00");
            QTest::addRow("%s plus sign", loc) << l << Deg << "+1" << n(" 16.67");
            QTest::addRow("%s exponent", loc) << l << Deg << "9e1" << n(" 1500.00");
            QTest::addRow("%s negative exponent", loc) << l << Mil << "6e-1" << n(" 0.04");
            // Products that end in a 5 at the third decimal round up, as on paper.
            QTest::addRow("%s 500 deg tie", loc) << l << Deg << "500" << n(" 8333.34");
            QTest::addRow("%s 1500 deg tie", loc) << l << Deg << "1500" << n(" 25000.01");
            QTest::addRow("%s 4500 deg tie", loc) << l << Deg << "4500" << n(" 75000.02");
            QTest::addRow("%s 7500 deg tie", loc) << l << Deg << "7500" << n(" 125000.03");
            QTest::addRow("%s five digits, no grouping", loc)
                << l << Deg << "99999" << n(" 1666650.33");
            QTest::addRow("%s empty", loc) << l << Deg << "" << none;
            QTest::addRow("%s blanks only", loc) << l << Mil << "   " << none;
            QTest::addRow("%s letters", loc) << l << Deg << "abc" << none;
            QTest::addRow("%s stray minus", loc) << l << Deg << "-" << none;
            QTest::addRow("%s double minus", loc) << l << Mil << "--4" << none;
            QTest::addRow("%s blank inside", loc) << l << Deg << "1 5" << none;
            QTest::addRow("%s infinity word", loc) << l << Deg << "inf" << none;
            QTest::addRow("%s nan word", loc) << l << Mil << "nan" << none;
            QTest::addRow("%s input overflows", loc) << l << Deg << "1e999" << none;
            QTest::addRow("%s product overflows", loc) << l << Deg << "9e307" << none;
        }
        QTest::newRow("hu comma") << "hu_HU" << Deg << "1,5"
                                  << " 25,00";
        QTest::newRow("hu comma and exponent") << "hu_HU" << Mil << "6,0e3"
                                               << " 360,00";
        // Fourteen digits kept before the rounding point: the last one rounds up.
        QTest::newRow("hu 2e12 mil keeps 14 digits") << "hu_HU" << Mil << "2e12"
                                                     << " 119999976000,01";
        QTest::newRow("hu 3e12 mil keeps 14 digits") << "hu_HU" << Mil << "3e12"
                                                     << " 179999964000,01";
        QTest::newRow("hu point is no separator") << "hu_HU" << Deg << "1.5" << none;
        QTest::newRow("hu grouping refused") << "hu_HU" << Mil << "6 000" << none;
        QTest::newRow("en point") << "en_US" << Deg << "1.5"
                                  << " 25.00";
        QTest::newRow("en comma is no separator") << "en_US" << Deg << "1,5" << none;
        QTest::newRow("en grouping refused") << "en_US" << Mil << "6,000" << none;
        QTest::newRow("en point and exponent") << "en_US" << Mil << "6.0e3"
                                               << " 360.00";
    }
    void convert() {
        QFETCH(QString, locale);
        QFETCH(AngleConversion, conversion);
        QFETCH(QString, text);
        QFETCH(QString, printed);
        // The conversion reads the user's locale, which the window passes in.
        QLocale::setDefault(QLocale(locale));
        const std::optional<QString> result = ConvertAngleText(conversion, text, QLocale());
        if (printed.isNull()) {
            QVERIFY2(!result, qPrintable(result.value_or(QString())));
        } else {
            QVERIFY(result);
            QCOMPARE(*result, printed);
        }
    }

    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }
};

QTEST_GUILESS_MAIN(TestCalc)
#include "tst_calc.moc"
