#!/usr/bin/env bash
# install-sdl3.sh - make the SDL3, SDL3_image and SDL3_ttf development files
# available for the Voidrocks build.
#
# Usage
#   scripts/install-sdl3.sh                 install if needed, then print the prefix line
#   scripts/install-sdl3.sh --print-prefix  print the prefix line only; installs nothing
#   scripts/install-sdl3.sh --rebuild       discard a prefix build and build it again
#   scripts/install-sdl3.sh --help
#
# Output contract
#   stdout carries exactly one line: the directory to hand to CMake as
#   CMAKE_PREFIX_PATH, or an empty line when the distribution's own packages
#   are used (CMake then finds them in the system). Everything else (apt and
#   build progress, errors) goes to stderr, so a Makefile can simply do
#       SDL3_PREFIX := $(shell scripts/install-sdl3.sh)
#   --print-prefix prints the same line the install would print, without
#   touching the machine; with the prefix route it prints the path even when
#   nothing has been built there yet.
#
# How it works
#   1. If libsdl3-dev, libsdl3-image-dev and libsdl3-ttf-dev are installed, or
#      apt has a candidate for all three (Debian 13+, recent Ubuntu), they are
#      installed with apt-get if missing and the empty line is printed.
#   2. Otherwise (Debian 12) the three libraries are built from the Debian 13
#      ("trixie") source packages into a per-user cache prefix shared by all
#      clones:
#          ${VOIDROCKS_SDL3_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/voidrocks/sdl3}
#      A stamp file in the prefix is written only after all three are
#      installed; when it is present (and matches this recipe) the script
#      returns at once without calling apt at all. A half-finished prefix is
#      wiped and rebuilt. Concurrent runs are serialised with a lock file
#      beside the prefix.
#
# Where the sources come from
#   A private apt configuration in a temporary directory (the machine's apt
#   configuration is never modified) lists one `deb-src` entry for suite
#   trixie, component main, on the same mirror URI the machine's apt already
#   uses for its own release (read at run time from the apt sources; set
#   VOIDROCKS_SDL3_MIRROR to override). `apt-get source --download-only`
#   fetches the packages and `dpkg-source -x` unpacks them with Debian's
#   patches applied.
#
# Signature checking
#   The entry is marked signed-by the system keyring
#   /usr/share/keyrings/debian-archive-keyring.gpg, and apt runs with
#   APT::Update::Error-Mode=any, so an unverifiable trixie Release file is a
#   hard error. The trixie InRelease file carries signatures by both the
#   Debian 12 and the Debian 13 archive keys, so any Debian 12 keyring
#   verifies it; should verification fail anyway, debian-archive-keyring is
#   upgraded from the machine's own (already trusted) sources and the update
#   retried once. Verification is never turned off. apt-get source then checks
#   every downloaded file against the hashes in the signed Sources index.
#
# Environment
#   VOIDROCKS_SDL3_PREFIX   install prefix for the source build
#   VOIDROCKS_SDL3_MIRROR   Debian mirror URI to fetch trixie sources from
#   VOIDROCKS_SDL3_VERBOSE  1 = stream build output to stderr instead of a log
#
# Needs root (or sudo) only when packages must be installed with apt-get.
set -euo pipefail

# Bump when the build recipe changes so existing prefixes are rebuilt.
readonly STAMP_KEY="voidrocks-sdl3 recipe 1: trixie libsdl3 libsdl3-image libsdl3-ttf"
readonly SYSTEM_PKGS=(libsdl3-dev libsdl3-image-dev libsdl3-ttf-dev)
readonly SOURCE_PKGS=(libsdl3 libsdl3-image libsdl3-ttf)
readonly SOURCE_SUITE=trixie
readonly KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg
readonly BUILD_DEPS=(
    cmake ninja-build pkgconf dpkg-dev build-essential xz-utils
    libx11-dev libxext-dev libxrandr-dev libxcursor-dev libxi-dev libxss-dev
    libxfixes-dev libxinerama-dev libxkbcommon-dev libwayland-dev
    wayland-protocols libegl-dev libgl-dev libgles-dev libdrm-dev libgbm-dev
    libudev-dev libdbus-1-dev libdecor-0-dev
    libasound2-dev libpulse-dev libpipewire-0.3-dev
    libpng-dev libjpeg-dev zlib1g-dev libfreetype-dev libharfbuzz-dev
)
readonly MARKER=.voidrocks-sdl3-prefix
readonly STAMP=.voidrocks-sdl3-stamp

log() { printf 'install-sdl3: %s\n' "$*" >&2; }
die() { log "error: $*"; exit 1; }

usage() {
    sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
}

default_prefix() {
    local p=${VOIDROCKS_SDL3_PREFIX:-}
    if [[ -z $p ]]; then
        local home=${HOME:-}
        [[ -n $home ]] || home=$(getent passwd "$(id -u)" | cut -d: -f6)
        p=${XDG_CACHE_HOME:-$home/.cache}/voidrocks/sdl3
    fi
    [[ $p == /* ]] || p=$PWD/$p
    printf '%s\n' "${p%/}"
}

# True when every named package is installed (one dpkg-query call).
all_installed() {
    local status
    status=$(dpkg-query -W -f='${db:Status-Abbrev}\n' "$@" 2>/dev/null) || return 1
    [[ $(grep -c '^ii' <<<"$status") -eq $# ]]
}

missing_pkgs() {
    local p
    for p in "$@"; do
        [[ $(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null) == ii* ]] || printf '%s\n' "$p"
    done
}

# True when apt has an installation candidate for every named package.
all_have_candidates() {
    local out
    out=$(LC_ALL=C apt-cache policy "$@" 2>/dev/null) || return 1
    local n
    n=$(awk '$1 == "Candidate:" && $2 != "(none)" { n++ } END { print n + 0 }' <<<"$out")
    [[ $n -eq $# ]]
}

as_root() {
    if [[ $(id -u) -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        die "need root (or sudo) to run: $*"
    fi
}

apt_lists_present() {
    compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null
}

# Installs the named packages that are not installed yet.
apt_install() {
    local missing
    mapfile -t missing < <(missing_pkgs "$@")
    [[ ${#missing[@]} -gt 0 ]] || return 0
    log "apt-get install ${missing[*]}"
    local cmd=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}")
    if ! as_root "${cmd[@]}" >&2; then
        log "apt-get install failed; refreshing package lists and retrying"
        as_root apt-get update -q >&2
        as_root "${cmd[@]}" >&2
    fi
}

stamp_ok() {
    local line
    [[ -f $1/$STAMP ]] && IFS= read -r line <"$1/$STAMP" && [[ $line == "$STAMP_KEY" ]]
}

# Decides the route without changing anything: prints "system" or "prefix".
choose_route() {
    local prefix=$1
    if all_installed "${SYSTEM_PKGS[@]}"; then
        echo system
    elif stamp_ok "$prefix"; then
        echo prefix
    elif all_have_candidates "${SYSTEM_PKGS[@]}"; then
        echo system
    else
        echo prefix
    fi
}

# The mirror URI the machine's apt uses for its own release (not -security,
# not -updates), from deb822 .sources files or one-line .list files.
system_mirror() {
    local codename=$1 etc sl sp
    eval "$(apt-config shell etc Dir::Etc/d sl Dir::Etc::sourcelist/f sp Dir::Etc::sourceparts/d)"
    etc=${etc:-/etc/apt/}; sl=${sl:-${etc}sources.list}; sp=${sp:-${etc}sources.list.d/}
    local f uri
    shopt -s nullglob
    for f in "$sp"/*.sources; do
        uri=$(awk -v want="$codename" '
            BEGIN { RS = ""; FS = "\n" }
            {
                types = ""; uris = ""; suites = ""; enabled = "yes"
                for (i = 1; i <= NF; i++) {
                    line = $i
                    if (line ~ /^[ \t]*#/) continue
                    if (match(line, /^[A-Za-z-]+:/)) {
                        key = tolower(substr(line, 1, RLENGTH - 1))
                        val = substr(line, RLENGTH + 1)
                        if (key == "types") types = val
                        else if (key == "uris") uris = val
                        else if (key == "suites") suites = val
                        else if (key == "enabled") enabled = tolower(val)
                    }
                }
                gsub(/^[ \t]+|[ \t]+$/, "", enabled)
                if (enabled == "no") next
                if (types !~ /(^|[ \t])deb(-src)?([ \t]|$)/) next
                n = split(suites, s, /[ \t]+/)
                for (j = 1; j <= n; j++) if (s[j] == want) {
                    split(uris, u, /[ \t]+/)
                    for (k = 1; k in u; k++) if (u[k] != "") { print u[k]; exit }
                }
            }' "$f")
        [[ -z $uri ]] || { printf '%s\n' "$uri"; return 0; }
    done
    for f in "$sl" "$sp"/*.list; do
        [[ -f $f ]] || continue
        uri=$(awk -v want="$codename" '
            /^[ \t]*#/ { next }
            $1 == "deb" || $1 == "deb-src" {
                i = 2
                if ($i ~ /^\[/) { while ($i !~ /\]$/ && i < NF) i++; i++ }
                if ($(i + 1) == want) { print $i; exit }
            }' "$f")
        [[ -z $uri ]] || { printf '%s\n' "$uri"; return 0; }
    done
    shopt -u nullglob
    return 1
}

# Runs a build step, logging to $BUILD_LOG; shows the log tail on failure.
step() {
    local what=$1; shift
    log "$what"
    if [[ ${VOIDROCKS_SDL3_VERBOSE:-0} == 1 ]]; then
        "$@" >&2
    elif ! "$@" >>"$BUILD_LOG" 2>&1; then
        log "failed: $what; last lines of the log:"
        tail -n 60 "$BUILD_LOG" >&2
        exit 1
    fi
}

in_dir() {
    local dir=$1; shift
    (cd "$dir" && "$@")
}

private_apt() {
    apt-get \
        -o Dir::Etc::SourceList="$APT_DIR/sources.list" \
        -o Dir::Etc::SourceParts="$APT_DIR/sources.list.d" \
        -o Dir::State::Lists="$APT_DIR/lists" \
        -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= \
        -o Acquire::Languages=none \
        -o APT::Update::Error-Mode=any \
        "$@"
}

fetch_sources() {
    local dest=$1 mirror=${VOIDROCKS_SDL3_MIRROR:-}
    if [[ -z $mirror ]]; then
        local id codename
        id=$(. /etc/os-release && printf '%s' "${ID:-}")
        codename=$(. /etc/os-release && printf '%s' "${VERSION_CODENAME:-}")
        [[ $id == debian ]] ||
            die "this system has no SDL3 packages and the source build is only set up for Debian (found '$id'); set VOIDROCKS_SDL3_MIRROR to a Debian mirror URI to try anyway"
        mirror=$(system_mirror "$codename") ||
            die "could not find the apt mirror for '$codename'; set VOIDROCKS_SDL3_MIRROR"
    fi
    [[ -r $KEYRING ]] || apt_install debian-archive-keyring

    APT_DIR=$WORK/apt
    mkdir -p "$APT_DIR/sources.list.d" "$APT_DIR/lists/partial" "$dest"
    printf 'deb-src [signed-by=%s] %s %s main\n' "$KEYRING" "$mirror" "$SOURCE_SUITE" \
        >"$APT_DIR/sources.list"
    # apt downloads as the unprivileged _apt user when run as root.
    if [[ $(id -u) -eq 0 ]] && id _apt >/dev/null 2>&1; then
        chmod 755 "$WORK"
        chown -R _apt:root "$APT_DIR/lists" "$dest"
    fi

    log "fetching $SOURCE_SUITE source index from $mirror"
    if ! private_apt -q update >>"$BUILD_LOG" 2>&1; then
        log "signature check or download of the $SOURCE_SUITE index failed; upgrading debian-archive-keyring and retrying"
        tail -n 5 "$BUILD_LOG" >&2
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --only-upgrade debian-archive-keyring >&2 ||
            log "could not upgrade debian-archive-keyring"
        step "fetching $SOURCE_SUITE source index (retry)" private_apt -q update
    fi
    step "downloading ${SOURCE_PKGS[*]}" \
        in_dir "$dest" private_apt -q source --download-only "${SOURCE_PKGS[@]}"

    local dsc
    for dsc in "$dest"/*.dsc; do
        step "unpacking $(basename "$dsc")" in_dir "$dest" dpkg-source -x "$(basename "$dsc")"
    done
}

# build_one <source dir> <name> <cmake args...>
build_one() {
    local src=$1 name=$2; shift 2
    local bdir=$WORK/build-$name
    step "configuring $name" cmake -S "$src" -B "$bdir" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" \
        -DCMAKE_PREFIX_PATH="$PREFIX" \
        -DCMAKE_INSTALL_LIBDIR=lib \
        "$@"
    step "building $name" cmake --build "$bdir"
    step "installing $name" cmake --install "$bdir"
}

build_into_prefix() {
    local started=$SECONDS
    if [[ -e $PREFIX ]]; then
        if [[ -e $PREFIX/$MARKER ]] || [[ -z $(ls -A "$PREFIX") ]]; then
            log "removing incomplete or outdated build in $PREFIX"
            rm -rf "$PREFIX"
        else
            die "$PREFIX exists and was not made by this script; refusing to overwrite it"
        fi
    fi

    apt_lists_present || as_root apt-get update -q >&2
    apt_install "${BUILD_DEPS[@]}"

    WORK=$(mktemp -d "${TMPDIR:-/tmp}/voidrocks-sdl3.XXXXXX")
    trap 'rm -rf "$WORK"' EXIT
    trap 'exit 130' INT TERM HUP # so that the EXIT trap also runs on a signal
    BUILD_LOG=$WORK/build.log
    : >"$BUILD_LOG"

    fetch_sources "$WORK/src"

    local sdl img ttf
    sdl=$(compgen -G "$WORK/src/libsdl3-[0-9]*/" | head -n1)
    img=$(compgen -G "$WORK/src/libsdl3-image-[0-9]*/" | head -n1)
    ttf=$(compgen -G "$WORK/src/libsdl3-ttf-[0-9]*/" | head -n1)
    [[ -n $sdl && -n $img && -n $ttf ]] || die "unpacked sources not found in $WORK/src"

    mkdir -p "$PREFIX"
    printf 'Built by scripts/install-sdl3.sh; safe to delete.\n' >"$PREFIX/$MARKER"

    build_one "$sdl" SDL3 \
        -DSDL_SHARED=ON -DSDL_STATIC=OFF \
        -DSDL_TESTS=OFF -DSDL_EXAMPLES=OFF -DSDL_INSTALL_TESTS=OFF \
        -DSDL_TEST_LIBRARY=ON -DSDL_INSTALL_DOCS=OFF
    # $ORIGIN lets these find libSDL3 beside them without help from the program.
    build_one "$img" SDL3_image \
        -DCMAKE_INSTALL_RPATH='$ORIGIN' \
        -DSDLIMAGE_VENDORED=OFF -DSDLIMAGE_STRICT=ON \
        -DSDLIMAGE_SAMPLES=OFF -DSDLIMAGE_TESTS=OFF \
        -DSDLIMAGE_BACKEND_STB=OFF \
        -DSDLIMAGE_AVIF=OFF -DSDLIMAGE_TIF=OFF -DSDLIMAGE_WEBP=OFF -DSDLIMAGE_JXL=OFF
    build_one "$ttf" SDL3_ttf \
        -DCMAKE_INSTALL_RPATH='$ORIGIN' \
        -DSDLTTF_VENDORED=OFF -DSDLTTF_STRICT=ON \
        -DSDLTTF_SAMPLES=OFF -DSDLTTF_TESTS=OFF \
        -DSDLTTF_HARFBUZZ=ON -DSDLTTF_PLUTOSVG=OFF

    {
        printf '%s\n' "$STAMP_KEY"
        (cd "$WORK/src" && ls -1 ./*.dsc | sed 's|^\./||')
        printf 'built %s in %ss\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$((SECONDS - started))"
    } >"$PREFIX/$STAMP.tmp"
    mv "$PREFIX/$STAMP.tmp" "$PREFIX/$STAMP"
    log "SDL3, SDL3_image and SDL3_ttf installed in $PREFIX ($((SECONDS - started))s)"
}

main() {
    local mode=install
    case ${1:-} in
        '') ;;
        --print-prefix) mode=print ;;
        --rebuild) mode=rebuild ;;
        -h | --help) usage; exit 0 ;;
        *) log "unknown argument: $1 (see --help)"; exit 2 ;;
    esac
    [[ $# -le 1 ]] || { log "too many arguments (see --help)"; exit 2; }

    PREFIX=$(default_prefix)

    local route
    route=$(choose_route "$PREFIX")
    if [[ $mode == print ]]; then
        if [[ $route == system ]]; then echo; else printf '%s\n' "$PREFIX"; fi
        exit 0
    fi

    # On a machine whose package lists were never fetched apt-cache knows no
    # candidates; fetch them once before deciding against the system packages.
    if [[ $route == prefix ]] && ! stamp_ok "$PREFIX" && ! apt_lists_present; then
        as_root apt-get update -q >&2
        route=$(choose_route "$PREFIX")
    fi

    if [[ $route == system ]]; then
        apt_install "${SYSTEM_PKGS[@]}"
        echo
        exit 0
    fi

    if [[ $mode == install ]] && stamp_ok "$PREFIX"; then
        printf '%s\n' "$PREFIX"
        exit 0
    fi

    # Serialise concurrent runs sharing this prefix; re-check once we hold the lock.
    mkdir -p "$(dirname "$PREFIX")"
    exec 9>"$PREFIX.lock"
    if ! flock -n 9; then
        log "waiting for another install into $PREFIX"
        flock 9
    fi
    if [[ $mode == rebuild ]]; then
        rm -f "$PREFIX/$STAMP"
    elif stamp_ok "$PREFIX"; then
        printf '%s\n' "$PREFIX"
        exit 0
    fi
    build_into_prefix
    printf '%s\n' "$PREFIX"
}

main "$@"
