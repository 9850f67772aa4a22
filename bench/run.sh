#!/usr/bin/env bash
# Runs every benchmark of Lunex against its target and writes bench/results.md.
# These machines are shared and noisy: start-up and memory are measured side by
# side with a minimal Qt program in the same run, and ratios are what count.
set -euo pipefail
B=$(realpath "${1:-build-bench}")
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT="$ROOT/bench/results.md"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen TZ=Europe/Budapest
RUNS=${BENCH_RUNS:-30}
# How busy the machine was, said beside the figures.
cut -d' ' -f1-3 /proc/loadavg >"$WORK/load-start.txt"

# Application directories with the real pictures and generated lists.
make_appdir() { # dir entries
    mkdir -p "$1/Pic"
    cp "$B"/Pic/*.gif "$B"/Pic/*.jpg "$1/Pic/" 2>/dev/null || true
    "$B/bench_listfile" "$2" "$1/Pic/ujholdak.txt"
}
make_appdir "$WORK/list130" 130
make_appdir "$WORK/list100k" 100000

echo "== start-up to the first painted frame"
hyperfine -N --warmup 3 --runs "$RUNS" --export-json "$WORK/startup.json" \
    "$B/startup_minimal" "$B/startup_minimal --text" \
    "$B/startup_lunex $WORK/list130" "$B/startup_lunex $WORK/list100k"

# Lists that only the limits on reading keep in bounds: 80 MB of dates (the
# first 64 MiB are read, and 2,097,152 lines of them), 80 MB of 31-character
# lines (the most memory the limits allow), a sparse 4 GiB file that starts
# with a list, and one line of 50 million characters.
hostile_appdir() { # dir
    mkdir -p "$1/Pic"
    cp "$B"/Pic/*.gif "$B"/Pic/*.jpg "$1/Pic/" 2>/dev/null || true
}
hostile_appdir "$WORK/dates80m"
awk 'BEGIN { for (i = 0; i < 4700000; i++) printf "2026-11-20 06:47\r\n" }' >"$WORK/dates80m/Pic/ujholdak.txt"
hostile_appdir "$WORK/wide80m"
awk 'BEGIN { for (i = 0; i < 2500000; i++) printf "2026-11-20 06:47:00 (helyi ido)\r" }' >"$WORK/wide80m/Pic/ujholdak.txt"
hostile_appdir "$WORK/sparse4g"
printf '\xDAjholdak\r\n2026-11-20 06:47\r\n' >"$WORK/sparse4g/Pic/ujholdak.txt"
truncate -s 4G "$WORK/sparse4g/Pic/ujholdak.txt"
hostile_appdir "$WORK/line50m"
{ printf '\xDAjholdak\r\n'; head -c 50000000 /dev/zero | tr '\0' 7; printf '\r\n2026-11-20 06:47\r\n'; } \
    >"$WORK/line50m/Pic/ujholdak.txt"

echo "== start-up to the first painted frame with hostile lists"
hyperfine -N --warmup 1 --runs 5 --export-json "$WORK/hostile.json" \
    "$B/startup_lunex $WORK/dates80m" "$B/startup_lunex $WORK/wide80m" \
    "$B/startup_lunex $WORK/sparse4g" "$B/startup_lunex $WORK/line50m"
for list in dates80m wide80m sparse4g line50m; do
    for i in 1 2 3; do
        "$B/startup_lunex" "$WORK/$list" 2>>"$WORK/mem_$list.txt" >/dev/null
    done
done

echo "== resident memory at the first painted frame"
for i in 1 2 3 4 5; do
    "$B/startup_minimal" 2>>"$WORK/mem_minimal.txt" >/dev/null
    "$B/startup_minimal" --text 2>>"$WORK/mem_text.txt" >/dev/null
    "$B/startup_lunex" "$WORK/list130" 2>>"$WORK/mem_lunex.txt" >/dev/null
done
grep -h VmRSS "$WORK"/mem_*.txt | head -2 || true

echo "== the observation log of 190,000 entries: loaded, saved, merged"
mkdir -p "$WORK/log190k"
"$B/bench_logfile" make 190000 "$WORK/log190k"
for i in 1 2 3; do
    "$B/bench_logfile" run "$WORK/log190k" 2>>"$WORK/log190k.txt"
done

echo "== in-process benchmarks"
"$B/bench_core" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$WORK/core.json" --benchmark_out_format=json
"$B/bench_gui" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$WORK/gui.json" --benchmark_out_format=json

echo "== tools"
pics_tool=$(ls "$B"/lunex-pics 2>/dev/null || true)
if [ -n "$pics_tool" ]; then
    hyperfine -N --warmup 1 --runs 5 --export-json "$WORK/pics.json" "$pics_tool $WORK/pics-out"
fi
hyperfine -N --warmup 2 --runs 10 --export-json "$WORK/newmoons.json" \
    "$B/lunex-newmoons --from 1900 --to 2100 --zone Europe/Budapest --force $WORK/ujholdak.txt"

echo "== lunex-crescents: world maps, a regional map and a year's table"
hyperfine -N --warmup 1 --runs 5 --export-json "$WORK/crescent-map1.json" \
    "$B/lunex-crescents --map 2026-12-10 --step 1 --out $WORK/map1.png"
hyperfine -N --warmup 1 --runs 5 --export-json "$WORK/crescent-map1-morning.json" \
    "$B/lunex-crescents --map 2026-12-08 --morning --step 1 --out $WORK/map1m.png"
hyperfine -N --warmup 1 --runs 3 --export-json "$WORK/crescent-map05.json" \
    "$B/lunex-crescents --map 2026-12-10 --step 0.5 --out $WORK/map05.png"
hyperfine -N --warmup 1 --runs 5 --export-json "$WORK/crescent-region01.json" \
    "$B/lunex-crescents --map 2026-12-10 --region 36.25,5.14,56.25,35.14 --out $WORK/region01.png"
hyperfine -N --warmup 2 --runs 20 --export-json "$WORK/crescent-table.json" \
    "$B/lunex-crescents --place Budapest --from 2026-12 --months 12 --zone Europe/Budapest"
hyperfine -N --warmup 2 --runs 20 --export-json "$WORK/crescent-both.json" \
    "$B/lunex-crescents --place Budapest --from 2026-12 --months 12 --both --zone Europe/Budapest"
hyperfine -N --warmup 2 --runs 20 --export-json "$WORK/crescent-year.json" \
    "$B/lunex-crescents --place Szeged --year 2027 --zone Europe/Budapest"

cut -d' ' -f1-3 /proc/loadavg >"$WORK/load-end.txt"
python3 "$ROOT/bench/report.py" "$WORK" "$OUT" \
    "$(git -C "$ROOT" rev-parse --short HEAD)$(git -C "$ROOT" diff --quiet -- . ':!bench/results.md' || echo '+changes')"
cat "$OUT"
