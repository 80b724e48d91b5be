#!/usr/bin/env bash
# Measures the installer's drive search against a bare directory walk of the
# same tree, under Wine:
#
#   bench/run-search-bench.sh [ROUNDS]
#
# Builds build/win64 (Pallwick.exe and search_bench.exe), then keeps a Wine
# prefix of its own in build/win64/bench-prefix whose drive D: (a fixed
# drive) holds a tree of 20,420 folders and 100,000 empty files, and no game.
# The prefix and its tree are made once and reused. search_bench.exe then
# times ROUNDS (default 5) bare walks and searches, alternating, and prints
# the fastest and the median of each and their ratios. Uses $DISPLAY when
# set, otherwise an Xvfb of its own.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"
cd "$PALLWICK_ROOT"

rounds=${1:-5}
build=$PALLWICK_ROOT/build/win64
prefix=$build/bench-prefix
tree=$prefix/drives/d

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$PALLWICK_ROOT" -B "$build" \
        -DCMAKE_TOOLCHAIN_FILE="$PALLWICK_ROOT/cmake/mingw-x86_64.cmake" >/dev/null
fi
cmake --build "$build" -j2 --target Pallwick search_bench >/dev/null

# 20 x 20 x 50 folders, five files in each of the 20,000 innermost ones.
make_tree() {
    log "building the tree in $tree"
    rm -rf "$tree"
    mkdir -p "$tree"
    (
        cd "$tree"
        local a b
        for a in $(seq -w 0 19); do
            for b in $(seq -w 0 19); do
                mkdir -p "folder$a/folder$b"
                (cd "folder$a/folder$b" && mkdir -p $(seq -f 'folder%02g' 0 49))
            done
        done
        find . -mindepth 3 -type d |
            awk '{ for (i = 0; i < 5; i++) print $0 "/file" i ".dat" }' |
            xargs -d '\n' touch
    )
}

wine_env "$prefix"
mkdir -p "$(dirname "$prefix")"
exec {lock}>"$prefix.lock"
flock -n "$lock" || die "another benchmark is running in $prefix"
if [[ ! -f $prefix.ready ]]; then
    log "making the Wine prefix $prefix"
    make_wine_prefix "$prefix"
    wine_managed_windows N
    wine_add_drive d hd
    make_tree
    wineserver -k 2>/dev/null || true
    touch "$prefix.ready"
fi

bin=$prefix/drive_c/bench
mkdir -p "$bin"
cp -f "$build/Pallwick.exe" "$build/bench/search_bench.exe" "$bin/"

if [[ -z ${DISPLAY:-} ]]; then
    wineserver -k 2>/dev/null || true
    start_xvfb
fi
trap 'wineserver -k 2>/dev/null || true; stop_xvfb' EXIT

cd "$bin"
wine search_bench.exe 'C:\bench\Pallwick.exe' "$rounds"
