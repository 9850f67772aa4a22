#!/usr/bin/env bash
# Runs each libFuzzer target of `make fuzz` for a bounded time on its seed corpus
# in tests/fuzz/corpus/<target>; new inputs go to <build>/fuzz/corpus, findings
# to <build>/fuzz/artifacts. Usage: run-fuzzers.sh BUILD SECONDS TARGET...
set -euo pipefail
build=$1
seconds=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
export TZ=UTC LC_ALL=C.UTF-8
# The file targets save through QSaveFile, which syncs every file to disk: on a
# memory filesystem that costs nothing and the fuzzer runs a hundred times faster.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
status=0
for target in "$@"; do
    name=${target#fuzz_}
    work="$build/fuzz/corpus/$name"
    artifacts="$build/fuzz/artifacts/$name/"
    log="$build/fuzz/$name.log"
    mkdir -p "$work" "$artifacts"
    echo "== $target: ${seconds} s"
    if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts" \
        "$work" "$root/tests/fuzz/corpus/$name" >"$log" 2>&1; then
        echo "   nothing found"
    else
        status=1
        echo "   FOUND: see $log and $artifacts"
        grep -E 'ERROR|FUZZ CHECK|SUMMARY|Test unit written' "$log" | head -20 || true
    fi
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" |
        sed 's/^stat::/   /' || true
    echo "   corpus: $(ls "$work" | wc -l) new inputs"
done
exit $status
