#!/usr/bin/env bash
# Takes the README's pictures of the windows (docs/*.png) with the program
# lunex-screenshots, on a virtual X server of its own, so that they look as on
# a desktop (fonts, anti-aliasing) whatever display the caller has, or none.
set -euo pipefail
B=$(realpath "${1:-build}")
mkdir -p "${2:-docs}"
OUT=$(realpath "${2:-docs}")
export TZ=Europe/Budapest LC_ALL=C.UTF-8 LANG=C.UTF-8 QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1600x1000x24" "$B/lunex-screenshots" "$OUT"
