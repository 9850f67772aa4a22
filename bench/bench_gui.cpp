// The real widgets, offscreen: a "Most!" press end to end, filling the list of
// new moons and opening it; the crescent forecast opened by its key, another
// evening drawn, and the world map computed while the window goes on; the
// year at a glance opened by its key and paged.

#include "app/forecast/crescentwindow.h"
#include "app/forecast/mappanel.h"
#include "app/forecast/skypanel.h"
#include "app/log/entrydialog.h"
#include "app/log/logwindow.h"
#include "app/main/mainwindow.h"
#include "app/year/yearwindow.h"
#include "benchlist.h"
#include "benchlog.h"
#include "lunar/evenings.h"
#include "lunar/horizon.h"
#include "lunar/newmoon.h"
#include "store/datafiles.h"
#include "store/fileio.h"
#include "store/logfile.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace lunex;

namespace {

QString g_picDir; // the build's Pic directory, with the real phase pictures

struct FixedClock : Clock {
    QDateTime now() const override {
        return QDateTime(QDate(2026, 11, 23), QTime(17, 30, 0), Qt::UTC);
    }
};

// The most lines the list's reader takes, each of another shape, as wide as
// the read limit allows (48 MB): the letters and the digits of their number.
QStringList WorstListLines() {
    QStringList lines;
    lines.reserve(ListLineLimit);
    for (qsizetype i = 0; i < ListLineLimit; ++i) {
        QString letters;
        for (qsizetype n = i; letters.size() < 5; n /= 26) {
            letters += QChar(u'a' + char16_t(n % 26));
        }
        lines.append(QStringLiteral("Újhold %1 %2").arg(letters).arg(i, 8, 10, QChar(u'0')));
    }
    return lines;
}

// An application directory whose Pic holds the real pictures and a list of
// `entries` new moons (the worst list for a negative count).
struct BenchDir {
    QTemporaryDir tmp;
    explicit BenchDir(int entries, const QString &parent = QDir::tempPath())
        : tmp(parent + QStringLiteral("/lunex-bench-XXXXXX")) {
        QDir(tmp.path()).mkdir(QStringLiteral("Pic"));
        for (const QString &name : QDir(g_picDir).entryList({"*.gif", "*.jpg"}, QDir::Files)) {
            QFile::copy(g_picDir + '/' + name, pic(name));
        }
        const QStringList lines = entries < 0 ? WorstListLines() : bench::BenchListLines(entries);
        if (WriteFileAtomically(pic(QStringLiteral("ujholdak.txt")), ListFileBytes(lines)) !=
            FileProblem::None) {
            qFatal("cannot write the list");
        }
    }
    QString pic(const QString &name) const { return tmp.path() + "/Pic/" + name; }
};

// The press's save ends in fdatasync, so that a stored new moon survives a
// power cut; on a disk that alone costs milliseconds. Arg 1 runs the same
// press with the Pic directory in memory (tmpfs), to show the rest apart.
void BM_MostPress(benchmark::State &state) {
    const bool inMemory = state.range(0) == 1 && QDir(QStringLiteral("/dev/shm")).exists();
    BenchDir dir(130, inMemory ? QStringLiteral("/dev/shm") : QDir::tempPath());
    FixedClock clock;
    MainWindow window({dir.tmp.path(), dir.tmp.path()}, &clock);
    window.show();
    QApplication::processEvents();
    window.findChild<QLineEdit *>(QStringLiteral("Text11"))->setText("2026-11-20 06:47");
    auto *most = window.findChild<QPushButton *>(QStringLiteral("Command2"));
    for (auto _ : state) {
        most->click();                 // conversion, computation, picture, texts, save
        QApplication::processEvents(); // the repaint of what the press changed
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MostPress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FillNewMoonList(benchmark::State &state) {
    BenchDir dir(int(state.range(0)));
    const FixedClock clock;
    NewMoonCombo combo(clock, QTimeZone("Europe/Budapest"));
    for (auto _ : state) {
        FillNewMoonList(dir.tmp.path(), combo);
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillNewMoonList)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Opens the list again and again; `refill` reads the list anew before each
// opening, so that the first opening's work (every entry's date read, the
// widest measured, for the popup's place and width) is timed each time.
void OpenList(benchmark::State &state, bool refill) {
    BenchDir dir(int(state.range(0)));
    const FixedClock clock;
    NewMoonCombo combo(clock, QTimeZone("Europe/Budapest"));
    combo.resize(153, 31);
    FillNewMoonList(dir.tmp.path(), combo);
    combo.show();
    QApplication::processEvents();
    for (auto _ : state) {
        if (refill) {
            state.PauseTiming();
            FillNewMoonList(dir.tmp.path(), combo);
            state.ResumeTiming();
        }
        combo.showPopup();
        QApplication::processEvents();
        state.PauseTiming();
        combo.hidePopup();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_OpenList(benchmark::State &state) {
    OpenList(state, false);
}
BENCHMARK(BM_OpenList)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_FirstOpenList(benchmark::State &state) {
    OpenList(state, true);
}
BENCHMARK(BM_FirstOpenList)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The worst list the reader takes (WorstListLines), opened for the first time.
void BM_FirstOpenWorstList(benchmark::State &state) {
    state.SetLabel("2,097,152 lines of different shapes, 48 MB");
    OpenList(state, true);
}
BENCHMARK(BM_FirstOpenWorstList)->Arg(-1)->Iterations(3)->Unit(benchmark::kMillisecond);

// A shortcut on the main window until the window it opens has painted
// itself; each round opens it anew.
template <typename Window>
void OpenFromMain(benchmark::State &state, Qt::Key key, Window *(MainWindow::*opened)() const) {
    BenchDir dir(130);
    FixedClock clock;
    MainWindow window({dir.tmp.path(), dir.tmp.path()}, &clock);
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(&window, key, Qt::ControlModifier);
        Window *shown = (window.*opened)();
        if (shown == nullptr) {
            state.SkipWithError("the shortcut opened nothing");
            break;
        }
        shown->repaint(); // the first frame, drawing and all
        state.PauseTiming();
        delete shown;
        QApplication::processEvents();
        window.activateWindow();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// Ctrl+H until the forecast has painted its evenings and its drawing.
void BM_OpenForecast(benchmark::State &state) {
    OpenFromMain(state, Qt::Key_H, &MainWindow::crescentWindow);
}
BENCHMARK(BM_OpenForecast)->Unit(benchmark::kMillisecond);

// Ctrl+E until "Éves áttekintés" has painted the year.
void BM_OpenYear(benchmark::State &state) {
    OpenFromMain(state, Qt::Key_E, &MainWindow::yearWindow);
}
BENCHMARK(BM_OpenYear)->Unit(benchmark::kMillisecond);

// Another year: the next press computes and shows it.
void BM_NextYear(benchmark::State &state) {
    BenchDir dir(130);
    FixedClock clock;
    YearWindow window({dir.tmp.path(), dir.tmp.path()}, &clock);
    window.show();
    QApplication::processEvents();
    int year = 2027;
    for (auto _ : state) {
        window.showYear(year++);
        window.repaint();
    }
}
BENCHMARK(BM_NextYear)->Unit(benchmark::kMillisecond);

// The log window with 10,000 entries, from the start until it has painted.
void BM_OpenLog(benchmark::State &state) {
    BenchDir dir(130);
    bench::WriteBenchLog(dir.tmp.path(), int(state.range(0)));
    FixedClock clock;
    for (auto _ : state) {
        LogWindow window({dir.tmp.path(), dir.tmp.path()}, &clock);
        window.show();
        window.repaint();
        state.PauseTiming();
        window.close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLog)->Arg(10000)->Unit(benchmark::kMillisecond);

// An entry added to a log of a thousand: its prediction computed, the whole
// file saved and flushed, the table and the records shown anew. Arg 1 keeps
// Pic in memory (tmpfs), to show apart the flush to the disk, as the press does.
void BM_AddLogEntry(benchmark::State &state) {
    const bool inMemory = state.range(0) == 1 && QDir(QStringLiteral("/dev/shm")).exists();
    BenchDir dir(130, inMemory ? QStringLiteral("/dev/shm") : QDir::tempPath());
    bench::WriteBenchLog(dir.tmp.path(), 1000);
    FixedClock clock;
    LogWindow window({dir.tmp.path(), dir.tmp.path()}, &clock);
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        EntryDialog *dialog = window.addEntry(window.freshEntry());
        dialog->accept();
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddLogEntry)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Another evening chosen: the drawing computed and painted anew.
void BM_ChangeEvening(benchmark::State &state) {
    BenchDir dir(130);
    FixedClock clock;
    CrescentWindow forecast({dir.tmp.path(), dir.tmp.path()}, &clock, QString());
    forecast.show();
    QApplication::processEvents();
    QWidget *chart = forecast.findChild<QWidget *>(QStringLiteral("skyChart"));
    int evening = 1;
    for (auto _ : state) {
        evening = evening % 3 + 1;
        forecast.selectEvening(evening);
        chart->repaint();
    }
}
BENCHMARK(BM_ChangeEvening)->Unit(benchmark::kMillisecond);

// Another evening of a place with its own skyline drawn anew: the view
// computed, the skyline and the Moon against it given, and painted at the
// window's size. The lunation, the Moon against the skyline included, is
// computed once, as the window computes it on opening.
void BM_ChangeEveningWithSkyline(benchmark::State &state) {
    const Place szeged{46.25, 20.14, 75};
    const HorizonProfile hill =
        ReadHorizonList(u"200 1 | 220 2.5 | 235 6 | 250 6.5 | 265 6 | 280 1.5 | 300 3").profile;
    const Lunation lunation = ComputeLunation(
        szeged, LunationAtOrAfter(QDateTime(QDate(2026, 12, 1), QTime(0, 0), Qt::UTC)), hill);
    const QTimeZone zone("Europe/Budapest");
    SkyPanel panel;
    panel.resize(1000, 260);
    panel.show();
    QApplication::processEvents();
    QWidget *chart = panel.findChild<QWidget *>(QStringLiteral("skyChart"));
    int evening = 1;
    for (auto _ : state) {
        evening = evening % 3 + 1;
        panel.showEvening(QStringLiteral("Szeged"), szeged, lunation.evenings[evening], zone,
                          QLocale(), hill);
        chart->repaint();
    }
}
BENCHMARK(BM_ChangeEveningWithSkyline)->Unit(benchmark::kMillisecond);

// The map of another evening, from the choice until it is shown, while a
// timer every 5 ms measures the longest the window's event loop was kept from
// its events: the window stays usable when that is short.
// The world's (view 0) or the place's region at 0.1° (view 1), the latter
// with its coastlines and borders; of evenings, or of mornings, whose cells
// are each place's own morning.
void MapWhileResponsive(benchmark::State &state, int view,
                        Direction direction = Direction::Evening) {
    BenchDir dir(130);
    FixedClock clock;
    CrescentWindow forecast({dir.tmp.path(), dir.tmp.path()}, &clock, QString());
    forecast.show();
    forecast.mapPanel()->viewBox()->setCurrentIndex(view);
    forecast.views()->setCurrentIndex(1);
    QEventLoop loop;
    QObject::connect(forecast.mapPanel(), &MapPanel::drawn, &loop, &QEventLoop::quit);
    loop.exec(); // the first map, with the Earth's picture read
    double longestStall = 0;
    int evening = 1;
    for (auto _ : state) {
        QElapsedTimer beat;
        QElapsedTimer took;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestStall = std::max(longestStall, beat.nsecsElapsed() / 1e6 - 5);
            beat.restart();
        });
        evening = evening % 2 + 1; // another date each time: the cells are computed anew
        // The choice itself is one of the events: its drawing counts as a stall.
        QTimer::singleShot(0, &forecast, [&] { forecast.selectDay(direction, evening); });
        took.start();
        beat.start();
        ticker.start(5);
        loop.exec();
        state.SetIterationTime(took.nsecsElapsed() / 1e9);
    }
    state.counters["longest_stall_ms"] = longestStall;
}
void BM_MapWhileResponsive(benchmark::State &state) {
    MapWhileResponsive(state, 0);
}
BENCHMARK(BM_MapWhileResponsive)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
void BM_RegionMapWhileResponsive(benchmark::State &state) {
    MapWhileResponsive(state, 1);
}
BENCHMARK(BM_RegionMapWhileResponsive)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
void BM_MorningMapWhileResponsive(benchmark::State &state) {
    MapWhileResponsive(state, 0, Direction::Morning);
}
BENCHMARK(BM_MorningMapWhileResponsive)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    g_picDir = QCoreApplication::applicationDirPath() + QStringLiteral("/Pic");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
