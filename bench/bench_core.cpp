// The computation and the date-text conversion, without any window.

#include "evaluation/evaluation.h"
#include "evaluation/newmoonlist.h"
#include "lunar/lunarage.h"
#include "texts/datetext.h"
#include "texts/numbertext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace lunex;

namespace {

const QLocale Hu(QLocale::Hungarian, QLocale::Hungary);

// One evaluation's arithmetic and its five texts (six with the time).
void BM_ComputeAndTexts(benchmark::State &state) {
    const QDateTime newMoon = QDateTime(QDate(2026, 11, 20), QTime(6, 47), Qt::UTC);
    QDateTime observation = QDateTime(QDate(2026, 11, 23), QTime(17, 30), Qt::UTC);
    qint64 step = 0;
    for (auto _ : state) {
        const QDateTime o = observation.addSecs(step++ % 2000000);
        const auto age = CalculateLunarAge(newMoon, o);
        const PhaseBand &band = SelectPhaseBand(age->cycleAge);
        const double percent = CalculateIllumination(age->elapsedDays, PresentMomentGain);
        auto texts = BuildResultTexts(HeaderForm::PresentMoment, o, *age, band, percent, Hu);
        benchmark::DoNotOptimize(texts);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComputeAndTexts);

// A mix of accepted and rejected texts, as users type them.
void BM_ParseDateText(benchmark::State &state) {
    const QStringList texts{"2026-11-20 06:47",
                            "2026. 11. 20. 6:47:00\r\n",
                            "2026. november 20.",
                            "2026.11.20 6:47 du.",
                            "tegnap",
                            "",
                            "2026-02-30",
                            "2026-11-20 25:00"};
    qsizetype i = 0;
    for (auto _ : state) {
        auto parsed = ParseDateTimeText(texts.at(i++ % texts.size()), Hu, QTimeZone::utc());
        benchmark::DoNotOptimize(parsed);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseDateText);

// The list of new moons that the first start writes: eleven years in the
// civil time of Budapest, computed, written and flushed.
void BM_FirstStartList(benchmark::State &state) {
    const QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Pic"));
    const QString list = dir.filePath(QStringLiteral("Pic/ujholdak.txt"));
    const QTimeZone zone("Europe/Budapest");
    for (auto _ : state) {
        QFile::remove(list);
        MakeNewMoonListIfAbsent(dir.path(), zone, QDate(2026, 12, 7));
    }
    if (!QFile::exists(list)) {
        state.SkipWithError("no list was written");
    }
}
BENCHMARK(BM_FirstStartList)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
