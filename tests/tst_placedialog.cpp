// The place dialog "Megfigyelési hely", driven as a user drives it: search,
// pick, type, OK; and what it leaves in hely.txt.

#include "app/common/storedplace.h"
#include "app/place/placedialog.h"
#include "fakes.h"
#include "lunar/horizon.h"
#include "lunar/places.h"
#include "messageboxes.h"
#include "store/horizonfile.h"
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

    // `skyline`: horizont.txt as the dialog finds it, beside Szeged's
    // hely.txt; none when empty.
    explicit Rig(const ObserverPlace &current = Szeged, const QByteArray &skyline = {}) {
        if (!skyline.isEmpty()) {
            dir.write("hely.txt", "Szeged;46.25;20.14;75\r\n");
            dir.write("horizont.txt", skyline);
        }
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
        QTest::newRow("a skyline's pair without its altitude") << "horizon"
                                                               << "250;2 | 260 | 280;1"
                                                               << "HORIZONTOT";
        QTest::newRow("a hill higher than a skyline can be") << "horizon"
                                                             << "250;2 | 260;75"
                                                             << "HORIZONTOT";
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

    // A save that fails is reported, and the dialog keeps what was typed;
    // the place is stored before its skyline, which is written only changed.
    void failedSaveKeepsTheDialog_data() {
        QTest::addColumn<QString>("skyline"); // typed
        QTest::addColumn<QString>("reported");
        QTest::addColumn<bool>("placeStored");
        QTest::newRow("the Pic folder gone")
            << QString() << "critical:A 'hely.txt' fájl nem menthető: a 'Pic' mappa nem létezik."
            << false;
        QTest::newRow("a folder where the skyline goes")
            << "250;2 | 260;6"
            << "critical:A 'horizont.txt' fájl nem menthető: " << true;
    }
    void failedSaveKeepsTheDialog() {
        QFETCH(QString, skyline);
        QFETCH(QString, reported);
        QFETCH(bool, placeStored);
        Rig rig;
        if (skyline.isEmpty()) {
            QVERIFY(QDir(rig.dir.pic("")).removeRecursively());
        } else {
            QVERIFY(QDir(rig.dir.pic("")).mkdir(QStringLiteral("horizont.txt")));
            rig.type("horizon", skyline);
        }
        rig.type("placeName", QStringLiteral("Otthon"));
        MessageBoxes boxes;
        rig.ok();
        QTRY_COMPARE(boxes.count(), 1);
        QVERIFY2(boxes.log().first().startsWith(reported), qPrintable(boxes.log().first()));
        QVERIFY(rig.dialog->isVisible());
        QCOMPARE(rig.field("placeName")->text(), QStringLiteral("Otthon"));
        QCOMPARE(rig.field("horizon")->text(), skyline);
        QCOMPARE(LoadObserverPlace(rig.dir.path()).place.name == "Otthon", placeStored);
    }

    // A skyline belongs to its site: typed as a short list and stored beside
    // hely.txt, shown again the next time, emptied (the flat horizon) when
    // another place is picked or other coordinates typed.
    void keepsTheSkylineOfItsSite_data() {
        QTest::addColumn<QByteArray>("stored"); // horizont.txt before; empty: none
        QTest::addColumn<QString>("search");    // a place picked; empty: none
        QTest::addColumn<QString>("latitude");  // typed; empty: none
        QTest::addColumn<QString>("typed");     // into the skyline's field; null: nothing
        QTest::addColumn<QString>("kept");      // the skyline stored after OK
        const QByteArray hill = "# Szeged\r\n230 0\r\n245 6\r\n260 6\r\n275 0\r\n";
        QTest::newRow("typed on one line, decimal commas") << QByteArray() << ""
                                                           << ""
                                                           << "250;2 | 260;6,5 | 280;1"
                                                           << "250 2\n260 6.5\n280 1";
        QTest::newRow("the stored skyline kept as it was")
            << hill << ""
            << "" << QString() << "230 0\n245 6\n260 6\n275 0";
        QTest::newRow("emptied: the flat horizon") << hill << ""
                                                   << ""
                                                   << ""
                                                   << "";
        QTest::newRow("another place picked empties it") << hill << "tromso"
                                                         << "" << QString() << "";
        QTest::newRow("the same place picked again keeps it")
            << hill << "szeged"
            << "" << QString() << "230 0\n245 6\n260 6\n275 0";
        QTest::newRow("another latitude typed empties it") << hill << ""
                                                           << "46,5" << QString() << "";
        QTest::newRow("a skyline typed for the new place stays") << hill << "tromso"
                                                                 << ""
                                                                 << "180;3 | 200;1"
                                                                 << "180 3\n200 1";
    }
    void keepsTheSkylineOfItsSite() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, search);
        QFETCH(QString, latitude);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Rig rig(Szeged, stored);
        QCOMPARE(rig.field("horizon")->text().isEmpty(), stored.isEmpty());
        if (!search.isEmpty()) {
            QTest::keyClicks(rig.field("placeSearch"), search);
            QTest::keyClick(rig.field("placeSearch"), Qt::Key_Return);
        }
        if (!latitude.isEmpty()) {
            rig.type("latitude", latitude);
        }
        if (!typed.isNull()) {
            rig.type("horizon", typed);
        }
        MessageBoxes boxes;
        rig.ok();
        QVERIFY(!rig.dialog->isVisible());
        QCOMPARE(boxes.count(), 0);
        const HorizonFileReading reading = LoadHorizon(rig.dir.path());
        QCOMPARE(reading.message, QString());
        QCOMPARE(reading.skyline, ReadHorizonList(kept).profile);
        // Opened again, it shows what it stored.
        PlaceDialog again(rig.dir.portable(), *rig.dialog->saved());
        QCOMPARE(ReadHorizonList(again.findChild<QLineEdit *>("horizon")->text()).profile,
                 reading.skyline);
    }

    // "Betöltés fájlból…": a planetarium program's horizon list read
    // leniently into the field; bad lines named and left out; a file with no
    // pair, or none at all, leaves the field as it was.
    void loadsAHorizonFile_data() {
        QTest::addColumn<QByteArray>("file"); // null: no file there
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QString>("loaded");    // the skyline the field then holds
        QTest::addColumn<QStringList>("named"); // in the one message; empty: none
        QTest::newRow("comments, blank lines, tabs, CR LF")
            << QByteArray("# horizon of the roof\r\n\r\n230 0\r\n245\t6 # the poplars\r\n"
                          "  260   6\r\n275 0\r\n")
            << true << "230 0\n245 6\n260 6\n275 0" << QStringList();
        QTest::newRow("bad lines named, the others loaded")
            << QByteArray("230 0\nhill\n245 6\n260 75\n275 0\n") << true << "230 0\n245 6\n275 0"
            << QStringList{"hegyek.txt", "2.", "4."};
        QTest::newRow("not a single pair") << QByteArray("# nothing here\nazimut magassag\n")
                                           << false << "200 1" << QStringList{"hegyek.txt"};
        QTest::newRow("no such file")
            << QByteArray() << false << "200 1" << QStringList{"hegyek.txt"};
    }
    void loadsAHorizonFile() {
        QFETCH(QByteArray, file);
        QFETCH(bool, loads);
        QFETCH(QString, loaded);
        QFETCH(QStringList, named);
        Rig rig;
        rig.type("horizon", QStringLiteral("200;1"));
        const QString path = rig.dir.path() + QStringLiteral("/hegyek.txt");
        if (!file.isNull()) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        }
        MessageBoxes boxes;
        QCOMPARE(rig.dialog->loadHorizonFile(path), loads);
        QTRY_COMPARE(boxes.count(), named.isEmpty() ? 0 : 1);
        for (const QString &part : named) {
            QVERIFY2(boxes.last().text.contains(part), qPrintable(boxes.last().text));
        }
        QCOMPARE(ReadHorizonList(rig.field("horizon")->text()).profile,
                 ReadHorizonList(loaded).profile);
        QVERIFY(ReadHorizonList(rig.field("horizon")->text()).badLines.isEmpty());
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

    // An unreadable hely.txt is said once a run, and Budapest stands in; a
    // horizont.txt with a bad line too, and its other lines stand.
    void unreadableFileIsReportedOnce_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("read"); // the place's name, or the skyline
        QTest::addColumn<QString>("said"); // the message's beginning
        QTest::newRow("hely.txt") << "hely.txt" << QByteArray("Eger;észak;20.38;160\r\n")
                                  << "Budapest"
                                  << "A 'hely.txt' fájl nem olvasható: ";
        QTest::newRow("horizont.txt")
            << "horizont.txt" << QByteArray("245 6\r\nhill\r\n") << "245 6"
            << "A 'horizont.txt' fájl 2.";
    }
    // The stored skyline is that of the stored place: not Budapest's when
    // Budapest stands in for a hely.txt that is not there or cannot be read.
    void skylineGoesWithItsPlace_data() {
        QTest::addColumn<QByteArray>("place"); // hely.txt; null: none
        QTest::addColumn<bool>("used");
        QTest::newRow("the place stored") << QByteArray("Szeged;46.25;20.14;75\r\n") << true;
        QTest::newRow("no place stored") << QByteArray() << false;
        QTest::newRow("a place that cannot be read")
            << QByteArray("Szeged;dél;20.14;75\r\n") << false;
    }
    void skylineGoesWithItsPlace() {
        QFETCH(QByteArray, place);
        QFETCH(bool, used);
        AppDir dir;
        if (!place.isNull()) {
            dir.write("hely.txt", place);
        }
        dir.write("horizont.txt", "245 6\r\n260 6\r\n");
        QWidget parent;
        QCOMPARE(CurrentSkyline(dir.portable(), &parent).isFlat(), !used);
        PlaceDialog dialog(dir.portable(), Szeged);
        QCOMPARE(dialog.findChild<QLineEdit *>("horizon")->text().isEmpty(), !used);
        // OK saves the place there; with the field empty, the old skyline goes.
        dialog.accept();
        QCOMPARE(LoadHorizon(dir.path()).skyline.isFlat(), !used);
    }

    void unreadableFileIsReportedOnce() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, read);
        QFETCH(QString, said);
        AppDir dir;
        dir.write(file, bytes);
        if (file == "horizont.txt") {
            dir.write("hely.txt", "Szeged;46.25;20.14;75\r\n"); // whose skyline it is
        }
        MessageBoxes boxes;
        QWidget parent;
        const auto current = [&] {
            return file == "hely.txt"
                       ? CurrentObserverPlace(dir.portable(), &parent).name
                       : HorizonListText(CurrentSkyline(dir.portable(), &parent)).trimmed();
        };
        QCOMPARE(current(), read);
        QTRY_COMPARE(boxes.count(), 1);
        QVERIFY2(boxes.last().text.startsWith(said), qPrintable(boxes.last().text));
        QCOMPARE(current(), read);
        QTest::qWait(50);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(dir.read(file), bytes);
    }

    // Each field by its caption's underlined letter with Alt.
    void eachFieldByItsKey_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("field");
        QTest::newRow("Alt+B") << int(Qt::Key_B) << "placeSearch";
        QTest::newRow("Alt+N") << int(Qt::Key_N) << "placeName";
        QTest::newRow("Alt+S") << int(Qt::Key_S) << "latitude";
        QTest::newRow("Alt+H") << int(Qt::Key_H) << "longitude";
        QTest::newRow("Alt+M") << int(Qt::Key_M) << "elevation";
        QTest::newRow("Alt+Z") << int(Qt::Key_Z) << "horizon";
    }
    void eachFieldByItsKey() {
        QFETCH(int, key);
        QFETCH(QString, field);
        Rig rig;
        rig.field("elevation")->setFocus();
        if (field == "elevation") {
            rig.field("placeName")->setFocus();
        }
        QTest::keyClick(rig.dialog.get(), Qt::Key(key), Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), rig.field(qPrintable(field)));
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
            {"horizon", "Helyi horizont"},
            {"horizonFileButton", "Betöltés fájlból…"},
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
