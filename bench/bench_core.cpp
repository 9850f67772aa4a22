// The date-text conversion, without any window.

#include "texts/datetext.h"

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

} // namespace

BENCHMARK_MAIN();
