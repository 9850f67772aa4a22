// The place dialog "Megfigyelési hely", driven as a user drives it: search,
// pick, type, OK; and what it leaves in hely.txt.

#include "app/place/placedialog.h"
#include "fakes.h"
#include "lunar/places.h"
#include "messageboxes.h"
#include "themes.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace lunex;
using namespace lunex::test;

namespace {

const ObserverPlace Szeged{QStringLiteral("Szeged"), {46.25, 20.14, 75}};

struct Rig {
    AppDir dir;
    std::unique_ptr<PlaceDialog> dialog;

    explicit Rig(const ObserverPlace &current = Szeged) {
        dialog = std::make_unique<PlaceDialog>(dir.portable(), current);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }
    QLineEdit *field(const char *name) const { return dialog->findChild<QLineEdit *>(name); }
    QListWidget *list() const { return dialog->findChild<QListWidget *>("placeList"); }
    void type(const char *name, const QString &text) const {
        // Inserted as a paste is: key clicks carry only Latin-1.
        field(name)->setFocus();
        field(name)->selectAll();
        field(name)->insert(text);
    }
    void ok() const {
        QTest::mouseClick(dialog->findChild<QPushButton *>("placeOk"), Qt::LeftButton);
    }
    QStringList listed() const {
        QStringList names;
        for (int i = 0; i < list()->count(); ++i) {
            names << list()->item(i)->text();
        }
        return names;
    }
};

} // namespace

class TestPlaceDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }

    // Any part of a name or an alias, regardless of capitals and accents;
    // Enter takes the first place found into the fields.
    void searchesThePlaces_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QString>("latitude"); // after Enter, or Down into the results
        QTest::addColumn<int>("key");
        QTest::newRow("accents left off") << "szekesfehervar" << QStringList{"Székesfehérvár"}
                                          << "47,19° É" << int(Qt::Key_Return);
        QTest::newRow("capitals, part of a name")
            << "SZEG" << QStringList{"Szeged", "Zalaegerszeg"} << "46,25° É" << int(Qt::Key_Return);
        QTest::newRow("an alias") << "wien" << QStringList{"Bécs (Vienna, Wien)"} << "48,21° É"
                                  << int(Qt::Key_Return);
        QTest::newRow("ø typed as o")
            << "tromso" << QStringList{"Tromsø (Tromso)"} << "69,65° É" << int(Qt::Key_Return);
        QTest::newRow("the south") << "fokvaros" << QStringList{"Fokváros (Cape Town, Kaapstad)"}
                                   << "33,92° D" << int(Qt::Key_Return);
        QTest::newRow("nothing found")
            << "Atlantisz" << QStringList{} << "46,25° É" << int(Qt::Key_Return);
        QTest::newRow("Down into the results")
            << "fokvaros" << QStringList{"Fokváros (Cape Town, Kaapstad)"} << "33,92° D"
            << int(Qt::Key_Down);
        QTest::newRow("Down with nothing typed keeps the current place")
            << "" << QStringList{} << "46,25° É" << int(Qt::Key_Down);
        QTest::newRow("Down with nothing found stays")
            << "Atlantisz" << QStringList{} << "46,25° É" << int(Qt::Key_Down);
    }
    void searchesThePlaces() {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        QFETCH(QString, latitude);
        QFETCH(int, key);
        Rig rig;
        // It opens ready for the search, every place listed, the current one picked.
        QCOMPARE(rig.dialog->windowTitle(), QStringLiteral("Megfigyelési hely"));
        QCOMPARE(QApplication::focusWidget(), rig.field("placeSearch"));
        QCOMPARE(rig.list()->count(), int(BuiltInPlaces.size()));
        QCOMPARE(rig.listed().first(), QStringLiteral("Anchorage")); // in alphabetical order
        QCOMPARE(rig.list()->currentItem()->text(), QStringLiteral("Szeged"));
        QTest::keyClicks(rig.field("placeSearch"), typed);
        if (!typed.isEmpty()) {
            QCOMPARE(rig.listed(), found);
        }
        // Searching alone changes no field.
        QCOMPARE(rig.field("placeName")->text(), QStringLiteral("Szeged"));
        QCOMPARE(rig.field("latitude")->text(), QStringLiteral("46,25° É"));
        QTest::keyClick(rig.field("placeSearch"), Qt::Key(key));
        QVERIFY(rig.dialog->isVisible());
        QCOMPARE(rig.field("placeName")->text(),
                 found.isEmpty() ? QStringLiteral("Szeged")
                                 : found[0].section(QStringLiteral(" ("), 0, 0));
        QCOMPARE(rig.field("latitude")->text(), latitude);
        const bool intoResults = rig.list()->count() > 0;
        QCOMPARE(QApplication::focusWidget() == rig.list(), intoResults);
        if (key == Qt::Key_Down && intoResults) {
            // On from there by the arrows, as in any list.
            QCOMPARE(rig.list()->currentItem()->text(),
                     found.isEmpty() ? QStringLiteral("Szeged") : found[0]);
        }
    }

    // A field that cannot be read is named, and nothing is stored.
    void refusesWhatItCannotRead_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("named"); // in the message
        QTest::newRow("no name") << "placeName"
                                 << "   "
                                 << "NEVÉT";
        QTest::newRow("zero-width spaces only")
            << "placeName" << QStringLiteral("\u200B\u200B") << "NEVÉT";
        QTest::newRow("word joiner, Hangul filler, blanks")
            << "placeName" << QStringLiteral(" \u2060\u3164 \uFEFF") << "NEVÉT";
        QTest::newRow("latitude past the pole") << "latitude"
                                                << "91"
                                                << "SZÉLESSÉGET";
        QTest::newRow("latitude in words") << "latitude"
                                           << "észak"
                                           << "SZÉLESSÉGET";
        QTest::newRow("a longitude's letter") << "latitude"
                                              << "47 K"
                                              << "SZÉLESSÉGET";
        QTest::newRow("longitude past the date line") << "longitude"
                                                      << "181"
                                                      << "HOSSZÚSÁGOT";
        QTest::newRow("60 minutes") << "longitude"
                                    << "19° 60′"
                                    << "HOSSZÚSÁGOT";
        QTest::newRow("elevation above the mountains") << "elevation"
                                                       << "9001"
                                                       << "MAGASSÁGOT";
        QTest::newRow("elevation in feet") << "elevation"
                                           << "344 ft"
                                           << "MAGASSÁGOT";
        QTest::newRow("a zone the database does not know") << "zone"
                                                           << "Europe/Szeged"
                                                           << "IDŐZÓNÁT";
    }
    void refusesWhatItCannotRead() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, named);
        Rig rig;
        rig.type(qPrintable(field), typed);
        MessageBoxes boxes;
        rig.ok();
        QTRY_COMPARE(boxes.count(), 1);
        QVERIFY2(boxes.last().text.contains(named), qPrintable(boxes.last().text));
        QCOMPARE(boxes.last().icon, QMessageBox::Warning);
        QVERIFY(rig.dialog->isVisible());
        QVERIFY(!rig.dialog->saved());
        QCOMPARE(rig.field(qPrintable(field))->text(), typed);
        // The zone's field gives its focus to its list.
        QWidget *typedIn = rig.field(qPrintable(field));
        QCOMPARE(rig.dialog->focusWidget(),
                 typedIn->focusProxy() ? typedIn->focusProxy() : typedIn);
        QCOMPARE(rig.dir.read("hely.txt"), QByteArray("<absent>"));
    }

    // What is typed, in the user's locale and forms, is what hely.txt keeps.
    // A typed place keeps the system's zone (UTC here) unless another is chosen.
    void savesWhatWasTyped_data() {
        QTest::addColumn<QStringList>("typed"); // name, latitude, longitude, elevation[, zone]
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("degrees and minutes, decimal comma")
            << QStringList{"Kert", "47° 29,9′ É", "19,04", "105,5"}
            << QByteArray("Kert;47.498333;19.04;105.5;UTC\r\n");
        QTest::newRow("south and west by their letters")
            << QStringList{"Tanya", "D 33 55,2", "70° 40,2' Ny", "570 m"}
            << QByteArray("Tanya;-33.92;-70.67;570;UTC\r\n");
        QTest::newRow("signs, no elevation is sea level")
            << QStringList{"  Part  ", "-33.92", "+18.42", ""}
            << QByteArray("Part;-33.92;18.42;0;UTC\r\n");
        QTest::newRow("Quito on its own clock")
            << QStringList{"Quito", "0° 10′ D", "78° 28′ Ny", "2850", " America/Guayaquil "}
            << QByteArray("Quito;-0.166667;-78.466667;2850;America/Guayaquil\r\n");
        QTest::newRow("no zone: the system's, as older versions kept it")
            << QStringList{"Part", "-33.92", "18.42", "0", ""}
            << QByteArray("Part;-33.92;18.42;0\r\n");
        QTest::newRow("a letter the file cannot keep")
            << QStringList{QStringLiteral("São Tomé"), "0,34", "6,73", "10"}
            << QByteArray("Sao Tom\xE9;0.34;6.73;10;UTC\r\n");
    }
    void savesWhatWasTyped() {
        QFETCH(QStringList, typed);
        QFETCH(QByteArray, stored);
        Rig rig;
        const char *fields[] = {"placeName", "latitude", "longitude", "elevation", "zone"};
        for (int i = 0; i < typed.size(); ++i) {
            rig.type(fields[i], typed[i]);
        }
        MessageBoxes boxes;
        rig.ok();
        QVERIFY(!rig.dialog->isVisible());
        QCOMPARE(rig.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(rig.dir.read("hely.txt"), stored);
        // The answer is the place as hely.txt gives it back after a restart.
        const ObserverPlace kept = LoadObserverPlace(rig.dir.path()).place;
        QCOMPARE(rig.dialog->saved()->name, kept.name);
        QCOMPARE(rig.dialog->saved()->place.longitude, kept.place.longitude);
    }

    // A save that fails is reported, and the dialog keeps what was typed.
    void failedSaveKeepsTheDialog() {
        Rig rig;
        QVERIFY(QDir(rig.dir.pic("")).removeRecursively());
        rig.type("placeName", QStringLiteral("Otthon"));
        MessageBoxes boxes;
        rig.ok();
        QTRY_COMPARE(boxes.count(), 1);
        QCOMPARE(boxes.log(), QStringList{QStringLiteral(
                                  "critical:A 'hely.txt' fájl nem menthető: a 'Pic' mappa nem "
                                  "létezik.")});
        QVERIFY(rig.dialog->isVisible());
        QCOMPARE(rig.field("placeName")->text(), QStringLiteral("Otthon"));
    }

    // Opened as the windows open it: Cancel gives nothing and writes nothing,
    // OK gives the place as hely.txt keeps it.
    void chooseObserverPlace_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("chosen"); // empty: nothing
        QTest::newRow("cancel") << "placeCancel"
                                << "";
        QTest::newRow("OK on Tromsø") << "placeOk" << QStringLiteral("Tromsø");
    }
    void chooseObserverPlace() {
        QFETCH(QString, button);
        QFETCH(QString, chosen);
        AppDir dir;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<PlaceDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTest::keyClicks(dialog->findChild<QLineEdit *>("placeSearch"), "tromso");
            QTest::keyClick(dialog->findChild<QLineEdit *>("placeSearch"), Qt::Key_Enter);
            QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
        });
        const std::optional<ObserverPlace> place =
            ChooseObserverPlace(nullptr, dir.portable(), Szeged);
        QCOMPARE(place.has_value(), !chosen.isEmpty());
        if (place) {
            QCOMPARE(place->name, chosen);
            QCOMPARE(place->place.latitude, 69.65);
            QCOMPARE(LoadObserverPlace(dir.path()).place.name, chosen);
            QCOMPARE(place->zone, QStringLiteral("Europe/Oslo"));
        } else {
            QCOMPARE(dir.read("hely.txt"), QByteArray("<absent>"));
        }
    }

    // A built-in place picked brings its own clock; the zone's field finds a
    // name of the database by any part of it, regardless of capitals.
    void zoneOfThePlace_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("zone");    // after the pick
        QTest::addColumn<QString>("typed");   // into the zone's field
        QTest::addColumn<QString>("offered"); // the one name it offers
        QTest::newRow("Mexico City") << "mexiko"
                                     << "America/Mexico_City"
                                     << "guayaq"
                                     << "America/Guayaquil";
        QTest::newRow("west of the date line, a day ahead") << "apia"
                                                            << "Pacific/Apia"
                                                            << "ARGENTINA/BUENOS"
                                                            << "America/Argentina/Buenos_Aires";
        QTest::newRow("an alias of the database") << "delhi"
                                                  << "Asia/Kolkata"
                                                  << "calcutta"
                                                  << "Asia/Calcutta";
    }
    void zoneOfThePlace() {
        QFETCH(QString, search);
        QFETCH(QString, zone);
        QFETCH(QString, typed);
        QFETCH(QString, offered);
        Rig rig;
        QCOMPARE(rig.field("zone")->text(), QStringLiteral("UTC")); // Szeged on the system's
        QTest::keyClicks(rig.field("placeSearch"), search);
        QTest::keyClick(rig.field("placeSearch"), Qt::Key_Return);
        QCOMPARE(rig.field("zone")->text(), zone);
        auto *zones = rig.dialog->findChild<QComboBox *>("zoneList");
        rig.field("zone")->clear();
        QTest::keyClicks(rig.field("zone"), typed);
        QCOMPARE(zones->completer()->completionCount(), 1);
        QCOMPARE(zones->completer()->currentCompletion(), offered);
        rig.type("zone", zone);
        rig.ok();
        QCOMPARE(rig.dialog->saved()->zone, zone);
        QVERIFY(rig.dir.read("hely.txt").endsWith(';' + zone.toUtf8() + "\r\n"));
    }

    // An unreadable hely.txt is said once a run; Budapest stands in.
    void unreadableFileIsReportedOnce() {
        AppDir dir;
        dir.write("hely.txt", "Eger;észak;20.38;160\r\n");
        MessageBoxes boxes;
        QWidget parent;
        QCOMPARE(CurrentObserverPlace(dir.portable(), &parent).name, QStringLiteral("Budapest"));
        QTRY_COMPARE(boxes.count(), 1);
        QVERIFY(boxes.last().text.startsWith(u"A 'hely.txt' fájl nem olvasható: "));
        QCOMPARE(CurrentObserverPlace(dir.portable(), &parent).name, QStringLiteral("Budapest"));
        QTest::qWait(50);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(dir.read("hely.txt"), QByteArray("Eger;észak;20.38;160\r\n"));
    }

    void accessibleNames_data() {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("name");
        const char *rows[][2] = {
            {"placeSearch", "Keresés a beépített helyek között"},
            {"placeList", "Beépített helyek"},
            {"placeName", "Név"},
            {"latitude", "Földrajzi szélesség"},
            {"longitude", "Földrajzi hosszúság"},
            {"elevation", "Tengerszint feletti magasság"},
            {"zone", "Időzóna"},
            {"placeOk", "OK"},
            {"placeCancel", "Mégse"},
        };
        for (const auto &row : rows) {
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
        }
    }
    void accessibleNames() {
        QFETCH(QString, widget);
        QFETCH(QString, name);
        Rig rig;
        QAccessibleInterface *iface =
            QAccessible::queryAccessibleInterface(rig.dialog->findChild<QWidget *>(widget));
        QCOMPARE(iface->text(QAccessible::Name), name);
    }

    // Under a dark desktop theme the fields stay black on white, and the one
    // with the keyboard focus wears a black frame, the others a grey one.
    void readableInADarkTheme_data() {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<bool>("focused");
        QTest::newRow("name") << "placeName" << false;
        QTest::newRow("name focused") << "placeName" << true;
        QTest::newRow("list") << "placeList" << false;
        QTest::newRow("list focused") << "placeList" << true;
    }
    void readableInADarkTheme() {
        QFETCH(QString, widget);
        QFETCH(bool, focused);
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        const auto restore = qScopeGuard([&] { QApplication::setPalette(desktop); });
        Rig rig;
        auto *part = rig.dialog->findChild<QWidget *>(widget);
        (focused ? part : rig.field("elevation"))->setFocus();
        QCOMPARE(part->hasFocus(), focused);
        const QImage drawn = rig.dialog->grab().toImage();
        const QRect box = part->geometry();
        QVERIFY(DrawnIn(drawn, box.adjusted(3, 3, -3, -3), Qt::black, Qt::white));
        // The frame's top edge, and under it a second line only with the focus.
        const QColor frame = focused ? Qt::black : QColor(128, 128, 128);
        const QRect edge(box.left() + 3, box.top(), box.width() - 6, 1);
        QCOMPARE(PixelsOf(drawn, edge, frame), edge.width());
        QCOMPARE(PixelsOf(drawn, edge.translated(0, 1), Qt::black) == edge.width(), focused);
    }
};

QTEST_MAIN(TestPlaceDialog)
#include "tst_placedialog.moc"
