// lunex-screenshots OUTDIR: the README's pictures of the windows, taken from
// the real windows at a fixed moment, so that the pictures change only when
// the windows do. scripts/screenshots.sh runs it on a virtual X server.

#include "app/forecast/crescentwindow.h"
#include "app/forecast/mappanel.h"
#include "app/log/entrydialog.h"
#include "app/log/logwindow.h"
#include "app/main/mainwindow.h"
#include "app/pictures/picturewindow.h"
#include "app/place/placedialog.h"
#include "app/year/yearwindow.h"
#include "store/horizonfile.h"
#include "store/logfile.h"
#include "store/placefile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

using namespace lunex;

namespace {

// An evening of December 2026 in Hungary, half an hour after sunset: the
// first evening on which optical aid shows the crescent from Szeged.
struct ShownMoment : Clock {
    QDateTime now() const override {
        return QDateTime(QDate(2026, 12, 10), QTime(15, 30), QTimeZone::utc());
    }
};

const char NewMoon[] = "2026-12-09 01:52";

// Szeged's skyline: a 6° hill in the west-south-west, behind which February's
// young Moon sets.
const char Skyline[] = "230;0 | 245;6 | 260;6 | 275;0";

// Lets the window lay itself out and paint before it is taken.
void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(50);
    }
}

bool Take(QWidget *window, const QString &file) {
    Settle();
    const bool saved = window->grab().save(file, "PNG");
    QTextStream(stdout) << (saved ? "written: " : "NOT written: ") << file << Qt::endl;
    return saved;
}

// The dialog, taken while it waits for its answer, then cancelled.
void TakePlaceDialog(CrescentWindow *forecast, const QString &file, bool &ok) {
    QTimer::singleShot(300, [&ok, file] {
        auto *dialog = qobject_cast<PlaceDialog *>(QApplication::activeModalWidget());
        ok = dialog != nullptr && Take(dialog, file) && ok;
        if (dialog != nullptr) {
            dialog->reject();
        }
    });
    QTest::mouseClick(forecast->findChild<QPushButton *>(QStringLiteral("placeButton")),
                      Qt::LeftButton);
}

// February 2027's first crescent, on 7 February, behind Szeged's hill at the
// best time; then back to December for the pictures that follow.
bool TakeSkyline(CrescentWindow *forecast, const QDir &out) {
    const int december = forecast->lunationNumber();
    forecast->showLunation(december + 2);
    forecast->selectEvening(1);
    forecast->views()->setCurrentIndex(0);
    const bool ok = Take(forecast, out.filePath(QStringLiteral("crescent-forecast-skyline.png")));
    forecast->showLunation(december);
    return ok;
}

bool TakeForecast(MainWindow &main, const QDir &out) {
    main.findChild<QAction *>(QStringLiteral("holdsarlo"))->trigger();
    CrescentWindow *forecast = main.crescentWindow();
    if (forecast == nullptr) {
        return false;
    }
    forecast->resize(1320, 860);
    bool ok = Take(forecast, out.filePath(QStringLiteral("crescent-forecast.png")));
    TakePlaceDialog(forecast, out.filePath(QStringLiteral("place-dialog.png")), ok);
    QEventLoop drawn;
    QObject::connect(forecast->mapPanel(), &MapPanel::drawn, &drawn, &QEventLoop::quit);
    forecast->views()->setCurrentIndex(1);
    drawn.exec();
    ok = Take(forecast, out.filePath(QStringLiteral("crescent-forecast-map.png"))) && ok;
    // Zoomed to Szeged's region, with the borders.
    forecast->mapPanel()->viewBox()->setCurrentIndex(1);
    drawn.exec();
    ok = Take(forecast, out.filePath(QStringLiteral("crescent-forecast-region.png"))) && ok;
    return TakeSkyline(forecast, out) && ok;
}

// The coming year, 2027, at a glance.
bool TakeYear(MainWindow &main, const QDir &out) {
    main.findChild<QAction *>(QStringLiteral("evesattekintes"))->trigger();
    YearWindow *year = main.yearWindow();
    if (year == nullptr) {
        return false;
    }
    QTest::mouseClick(year->findChild<QPushButton *>(QStringLiteral("nextYear")), Qt::LeftButton);
    const bool ok = Take(year, out.filePath(QStringLiteral("year-overview.png")));
    delete year;
    return ok;
}

// Two sightings and a failed attempt after the new moon of December 2026,
// each at its evening's best time; the log window, and the entry the
// forecast's button opens for the evening it shows.
bool TakeLog(MainWindow &main, const AppDirs &dirs, const QDir &out) {
    const Lunation lunation = main.crescentWindow()->lunation();
    const QTimeZone zone("Europe/Budapest");
    const std::array<SightingResult, 3> results{
        SightingResult::NotSeen, SightingResult::AidThenNakedEye, SightingResult::NakedEye};
    QList<LogRow> rows;
    for (int i = 0; i < 3; ++i) {
        LogEntry e;
        e.moment = MinuteOf(*lunation.evenings[i + 1].sighting.bestTime).toTimeZone(zone);
        e.placeName = QStringLiteral("Szeged");
        e.place = {46.25, 20.14, 75};
        e.result = results[i];
        e.aid = i == 1 ? OpticalAid::Binoculars : OpticalAid::None;
        e.aidText = i == 1 ? QStringLiteral("10×50") : QString();
        e.sky = i == 0 ? SkyCondition::Haze : SkyCondition::Clear;
        e.transparency = i == 0 ? 4 : 2;
        e.observer = QStringLiteral("Kovács Éva");
        e.notes = i == 0 ? QStringLiteral("pára a látóhatáron") : QString();
        rows.append({Predicted(e), {}});
    }
    if (SaveObservationLog(dirs.data, rows) != FileProblem::None) {
        return false;
    }
    main.findChild<QAction *>(QStringLiteral("naplo"))->trigger();
    LogWindow *log = OpenLogWindow(dirs, nullptr);
    log->resize(1320, 640);
    bool ok = Take(log, out.filePath(QStringLiteral("observation-log.png")));
    EntryDialog *entry = main.crescentWindow()->logSighting();
    ok = entry != nullptr && Take(entry, out.filePath(QStringLiteral("log-entry.png"))) && ok;
    if (entry != nullptr) {
        entry->reject();
    }
    delete log;
    return ok;
}

bool TakeWindows(const AppDirs &dirs, const QDir &out) {
    ShownMoment clock;
    MainWindow main(dirs, &clock);
    main.show();
    QTest::keyClicks(main.findChild<QLineEdit *>(QStringLiteral("Text11")), NewMoon);
    QTest::mouseClick(main.findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
    bool ok = Take(&main, out.filePath(QStringLiteral("main-window.png")));

    main.findChild<QAction *>(QStringLiteral("hold04"))->trigger();
    ok = Take(main.pictureWindow(), out.filePath(QStringLiteral("picture-window.png"))) && ok;
    main.pictureWindow()->close();

    main.findChild<QAction *>(QStringLiteral("vonas"))->trigger();
    QWidget *calculator = main.calculatorWindow();
    QTest::keyClicks(calculator->findChild<QLineEdit *>(QStringLiteral("Text41")), "12,5");
    QTest::mouseClick(calculator->findChild<QPushButton *>(QStringLiteral("Command41")),
                      Qt::LeftButton);
    ok = Take(calculator, out.filePath(QStringLiteral("calculator.png"))) && ok;
    calculator->close();

    ok = TakeForecast(main, out) && ok;
    ok = TakeLog(main, dirs, out) && ok;
    delete main.crescentWindow();
    ok = TakeYear(main, out) && ok;
    return ok;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    if (argc != 2) {
        QTextStream(stderr) << "Használat: lunex-screenshots KIMENETI-MAPPA" << Qt::endl;
        return 2;
    }
    // The pictures of the build, the data files of a user who chose Szeged
    // and gave it its skyline.
    QTemporaryDir data;
    QDir(data.path()).mkdir(QStringLiteral("Pic"));
    if (SaveObserverPlace(data.path(), {QStringLiteral("Szeged"), {46.25, 20.14, 75}}) !=
            FileProblem::None ||
        SaveHorizon(data.path(), ReadHorizonList(QString::fromLatin1(Skyline)).profile) !=
            FileProblem::None) {
        return 1;
    }
    const AppDirs dirs{QCoreApplication::applicationDirPath(), data.path()};
    return TakeWindows(dirs, QDir(QString::fromLocal8Bit(argv[1]))) ? 0 : 1;
}
