// The date-text conversion and the first start's list, without any window.

#include "evaluation/newmoonlist.h"
#include "lunar/sightingprediction.h"
#include "texts/datetext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace lunex;

namespace {

const QLocale Hu(QLocale::Hungarian, QLocale::Hungary);

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

// The prediction of one log entry, as an import makes one for each
// observation: evenings at Szeged over the years, a day apart.
void BM_PredictSighting(benchmark::State &state) {
    const QTimeZone budapest("Europe/Budapest");
    int day = 0;
    for (auto _ : state) {
        const QDateTime moment(QDate(2000, 1, 1).addDays(day++ % 10000), QTime(17, 30), budapest);
        benchmark::DoNotOptimize(lunex::PredictSighting({46.25, 20.14, 75}, moment));
    }
}
BENCHMARK(BM_PredictSighting)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
