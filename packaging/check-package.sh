#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Lunex developers
# SPDX-License-Identifier: GPL-2.0-or-later
#
# Checks a built Debian package of Lunex: lintian (an error fails, warnings are
# shown), the desktop entry and the AppStream data as installed, the programs in
# bin and the helper in libexec/lunex (all stripped), and that the command-line
# programs run from the package's own files, unpacked into a temporary root.
#   packaging/check-package.sh lunex_VERSION_ARCH.deb
set -euo pipefail

deb="$(realpath "$1")"
echo "== lintian $deb"
lintian --fail-on error --display-info "$deb"

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

echo "== desktop entry and AppStream data"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml

echo "== programs"
programs="$(cd "$root/usr/bin" && ls | tr '\n' ' ')"
if [ "$programs" != "lunex lunex-age lunex-crescents lunex-newmoons " ]; then
    echo "unexpected contents of /usr/bin: $programs" >&2
    exit 1
fi
helpers="$(cd "$root/usr/libexec/lunex" && ls | tr '\n' ' ')"
if [ "$helpers" != "lunex-shorelines " ]; then
    echo "unexpected contents of /usr/libexec/lunex: $helpers" >&2
    exit 1
fi
for program in "$root"/usr/bin/* "$root"/usr/libexec/lunex/*; do
    if ! file "$program" | grep -q ', stripped'; then
        echo "not stripped: $program" >&2
        exit 1
    fi
done
export TZ=Europe/Budapest LC_ALL=C.UTF-8
"$root/usr/bin/lunex-age" "2026-11-20 06:47" "2026-11-23 17:30"
"$root/usr/bin/lunex-newmoons" --from 2026 --to 2026 "$root/ujholdak.txt"
head -3 "$root/ujholdak.txt" | iconv -f CP1250 -t UTF-8
"$root/usr/bin/lunex-crescents" --version
# A regional map's borders, read by the package's own helper: any sentence on
# stderr says they could not be.
problem="$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/lunex-crescents" --map 2026-12-10 \
    --region 44,-120,54,-100 --step 1 --no-texture --out "$root/region.png" 2>&1 >/dev/null)"
if [ -n "$problem" ]; then
    echo "the regional map drew no borders: $problem" >&2
    exit 1
fi
echo "== $deb: checked"
