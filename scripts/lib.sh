# Shared by scripts/test, scripts/run and tests/e2e/run-under-wine.sh.
# Source it; it only defines functions and variables.

PALLWICK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the builds, the tests and the run script need.
PALLWICK_PACKAGES=(
    cmake g++ googletest libgtest-dev libgmock-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    wine wine64 xvfb xauth x11-utils imagemagick clang-format
    xdotool
)

log() { printf '==> %s\n' "$*" >&2; }
die() {
    printf 'error: %s\n' "$*" >&2
    exit 1
}

# Installs whichever of PALLWICK_PACKAGES is missing; does nothing (and needs no
# root) when all are there.
ensure_packages() {
    local missing=() pkg
    for pkg in "${PALLWICK_PACKAGES[@]}"; do
        dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
    done
    ((${#missing[@]} == 0)) && return 0
    log "installing ${missing[*]}"
    local sudo=()
    ((EUID == 0)) || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Configures and builds one build folder:
#   configure_and_build NAME [TOOLCHAIN [cmake --build ARGS, e.g. --target X]]
# NAME is host, win64 or win32; TOOLCHAIN names cmake/TOOLCHAIN.cmake, empty for none.
configure_and_build() {
    local name=$1 toolchain=${2:-} dir="$PALLWICK_ROOT/build/$1"
    shift $(($# < 2 ? $# : 2))
    local args=(-S "$PALLWICK_ROOT" -B "$dir")
    [[ -n $toolchain ]] && args+=(-DCMAKE_TOOLCHAIN_FILE="$PALLWICK_ROOT/cmake/$toolchain.cmake")
    mkdir -p "$dir"
    log "configuring build/$name"
    cmake "${args[@]}" >"$dir/configure.log" 2>&1 || {
        cat "$dir/configure.log" >&2
        return 1
    }
    log "building build/$name"
    # Warnings and errors only: no progress lines.
    cmake --build "$dir" -j2 "$@" 2>&1 |
        { grep -v -E '^\[ *[0-9]+%\]|^Built target |^g?make\[[0-9]+\]: (Entering|Leaving)' || true; } >&2
    return "${PIPESTATUS[0]}"
}

# --- Xvfb -------------------------------------------------------------------

XVFB_PID=

# Starts an Xvfb on a free display number, exports DISPLAY and sets XVFB_PID.
start_xvfb() {
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp 9>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for ((i = 0; i < 100; i++)); do
        [[ -s $fdfile ]] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [[ ! -s $fdfile ]]; then
        rm -f "$fdfile"
        die "Xvfb did not start"
    fi
    export DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
    rm -f "$fdfile"
}

stop_xvfb() {
    if [[ -n $XVFB_PID ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# --- Wine -------------------------------------------------------------------

# Every Wine call of ours: a 64-bit prefix, quiet.
wine_env() {
    export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all
}

# Makes a fresh private prefix in $1 in which C: holds only the prefix itself:
# no z: drive (it would map the whole host file system) and no user folders
# linked to the host home. Takes 10-20 seconds.
make_wine_prefix() {
    local prefix=$1
    [[ $prefix == /* && $prefix != / ]] || die "prefix must be an absolute path: $prefix"
    wine_env "$prefix"
    if [[ -d $prefix ]]; then
        wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
    fi
    # No Mono or Gecko: nothing of ours needs them and they would prompt for a download.
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || die "wineboot failed in $prefix"
    wineserver -w
    rm -f "$prefix/dosdevices/z:"
    local link
    while IFS= read -r -d '' link; do
        rm -f "$link"
        mkdir -p "$link"
    done < <(find "$prefix/drive_c/users" -type l -print0)
    # Wine ships its own fonts (the symbol font of the caption buttons, MS Sans
    # Serif, Tahoma ...), but Debian's Wine looks for them beside the wrong
    # folder and falls back to host fonts: a letter in the close box, other
    # text metrics. Windows keeps its fonts in C:\windows\Fonts, and Wine
    # loads what lies there.
    if [[ -d /usr/share/wine/fonts ]]; then
        mkdir -p "$prefix/drive_c/windows/Fonts"
        cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
    fi
    # The server caches the drives: restart it.
    wineserver -k 2>/dev/null || true
    [[ -d $prefix/drive_c/windows && ! -e $prefix/dosdevices/z: ]] || die "prefix $prefix is incomplete"
}

# Runs a Wine command from C:\ (with no z: drive, a host working directory lies
# on no drive and Wine complains).
wine_in_c() {
    (cd "$WINEPREFIX/drive_c" && wine "$@")
}

# Adds the game's registry value the way its own setup does: in the 32-bit view.
wine_register_game() {
    wine_in_c reg add 'HKLM\Software\Orvantis' /v InstallPath /t REG_SZ /d "$1" /f /reg:32 \
        >/dev/null 2>&1
}

# Gives the prefix a drive $1 (a letter) of Wine's drive type $2 (hd, cdrom,
# floppy, network), backed by the prefix's folder drives/$1. Wine reads the
# types when its server starts: run wineserver -k before the drive is used.
wine_add_drive() {
    local letter=$1 type=$2
    mkdir -p "$WINEPREFIX/drives/$letter"
    ln -sfn "../drives/$letter" "$WINEPREFIX/dosdevices/$letter:"
    wine_in_c reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /t REG_SZ /d "$type" /f \
        >/dev/null 2>&1
}

# Y: let the window manager manage Wine's windows (the default); N: don't.
# Without a window manager (Xvfb), Wine waits 2 s for one each time it hides a
# managed window, so every closed dialog or message box would cost 2 s.
wine_managed_windows() {
    wine_in_c reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$1" /f \
        >/dev/null 2>&1
}

# Writes a small valid PCM WAVE file: write_wav FILE SAMPLES (8 kHz, 8 bit, mono,
# a square wave).
write_wav() {
    local file=$1 samples=$2 LC_ALL=C
    le() { # little-endian bytes of $1, $2 bytes wide
        local v=$1 n=$2 i out=
        for ((i = 0; i < n; i++)); do
            out+=$(printf '\\x%02x' $(((v >> (8 * i)) & 255)))
        done
        printf "$out"
    }
    {
        printf 'RIFF'
        le $((36 + samples)) 4
        printf 'WAVEfmt '
        le 16 4 && le 1 2 && le 1 2 && le 8000 4 && le 8000 4 && le 1 2 && le 8 2
        printf 'data'
        le "$samples" 4
        local period
        period=$(printf '\x40\x40\x40\x40\x40\x40\x40\x40\xc0\xc0\xc0\xc0\xc0\xc0\xc0\xc0')
        local body=
        while ((${#body} < samples)); do body+=$period; done
        printf '%s' "${body:0:samples}"
    } >"$file"
}
