#!/usr/bin/env bash
# Installs the Debian packages that building and testing Lunex need.
# As root it runs apt-get; otherwise it prints the exact command and stops,
# so that nobody is asked for a password behind their back.
set -euo pipefail

packages=(
    cmake                # build system
    make                 # the README's two commands
    g++                  # C++20 compiler
    qt6-base-dev         # Qt 6 Core, Gui, Widgets and Test
    qt6-base-dev-tools   # moc and the other Qt build tools
    qt6-base-private-dev # Qt's private headers: a test switches accessibility on
    qt6-svg-dev          # the scalable icon file, drawn by the windows' icon code
    libgl-dev            # OpenGL headers that Qt6Gui's CMake package looks for
    fonts-liberation     # metric-compatible stand-ins for the Windows fonts of the windows
    libgif-dev           # writing the GIF pictures of the Pic directory
    openuniverse-common  # the Moon texture that the pictures are drawn from
    libnetcdf-dev        # lunex-shorelines: reading the netCDF-4 files of the coastlines and borders
    gmt-gshhg-low        # the coastlines and borders of the regional maps (GSHHG)
    tzdata               # the zone rules that the list of new moons is written in
    qt6-translations-l10n # Qt's own texts (context menus, command-line help) in Hungarian
    xvfb                 # the X server the installed-program test runs the window on
    xdotool              # the keys that test presses in the window
    libical-dev          # the calendar files (iCalendar): writing them, and reading them back in a test
    libxml2-utils        # xmllint: the tests check the OpenAstronomyLog export against its schema
)

# Extra groups for the commands that need more than building and testing.
case "${1:-}" in
    bench)
        packages+=(
            libbenchmark-dev # Google Benchmark, for the in-process benchmarks
            hyperfine        # whole-process timing of start-up and the tools
            python3          # assembles bench/results.md
        )
        ;;
    package)
        packages+=(
            dpkg-dev           # dpkg-shlibdeps: the package's library dependencies
            file               # tells CPack which installed files are programs
            lintian            # Debian's package checks
            desktop-file-utils # desktop-file-validate
            appstream          # appstreamcli validate
        )
        ;;
    fuzz)
        packages+=(
            clang-14           # libFuzzer targets need clang
            libclang-rt-14-dev # clang's fuzzer and sanitizer runtimes
        )
        ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Lunex needs these Debian packages; install them as root and run again:" >&2
    echo "  sudo apt-get update && sudo $cmd" >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$cmd
