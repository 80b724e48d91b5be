#!/usr/bin/env bash
# Runs a Windows test program under Wine for ctest.
#
#   run-under-wine.sh --prepare            make a fresh prefix (once per ctest run)
#   run-under-wine.sh PROGRAM.exe [ARGS]   run PROGRAM.exe in it
#
# Environment (ctest sets it):
#   PALLWICK_E2E_PREFIX  the private Wine prefix, inside the build folder
#   PALLWICK_EXE         Pallwick.exe to test
#   KALDRIS_EXE          the stand-in Kaldris.exe
#
# The program runs from C:\e2e-bin, beside copies of Pallwick.exe and Kaldris.exe:
# the prefix has no z: drive, and Wine would start a program whose working
# directory lies on no drive in C:\windows instead. Uses $DISPLAY when set,
# otherwise an Xvfb of its own for the duration of the run.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/lib.sh
source "$here/../../scripts/lib.sh"

prefix=${PALLWICK_E2E_PREFIX:?PALLWICK_E2E_PREFIX is not set}
stamp=$prefix.ready
wine_env "$prefix"
mkdir -p "$(dirname "$prefix")"

prepare() {
    rm -f "$stamp"
    make_wine_prefix "$prefix"
    # No window manager on a virtual display: see wine_managed_windows.
    wine_managed_windows N
    # The drive search's tests: D: a fixed disk and E: a CD-ROM drive, both
    # empty until a test fills them.
    wine_add_drive d hd
    wine_add_drive e cdrom
    wineserver -k 2>/dev/null || true
    wineserver -w
    touch "$stamp"
}

# Serialises prefix creation between parallel callers.
exec {lock}>"$prefix.lock"

if [[ ${1:-} == --prepare ]]; then
    flock "$lock"
    start=$SECONDS
    prepare
    echo "fresh Wine prefix in $prefix ($((SECONDS - start)) s)"
    exit 0
fi

program=${1:?usage: run-under-wine.sh --prepare | PROGRAM.exe [ARGS]}
shift
flock "$lock"
[[ -f $stamp ]] || prepare
flock -u "$lock"

bin=$prefix/drive_c/e2e-bin
mkdir -p "$bin"
cp -f "$program" "${PALLWICK_EXE:?PALLWICK_EXE is not set}" \
    "${KALDRIS_EXE:?KALDRIS_EXE is not set}" "$bin/"

if [[ -z ${DISPLAY:-} ]]; then
    # A server left from a run on another display would keep using that one.
    wineserver -k 2>/dev/null || true
    start_xvfb
    trap 'wineserver -k 2>/dev/null || true; stop_xvfb' EXIT
fi

cd "$bin"
status=0
wine "$(basename "$program")" "$@" || status=$?
exit "$status"
