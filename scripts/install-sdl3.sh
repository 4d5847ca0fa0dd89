#!/usr/bin/env bash
# Makes SDL3, SDL3_image and SDL3_ttf available to the build and prints, as the one line on
# standard output, the prefix to hand to CMake: empty when the distribution's packages are used.
#
#   scripts/install-sdl3.sh                 install what is missing, then print the prefix
#   scripts/install-sdl3.sh --print-prefix  print the prefix only; changes nothing
#
# Where the distribution has the packages (Debian 13) they are installed with
# apt-get. Elsewhere (Debian 12) the pinned Debian 13 source packages below are built once into
# ${VOIDROCKS_SDL3_PREFIX:-~/.cache/voidrocks/sdl3}, shared by every clone. The prefix's stamp
# lists the versions built; a prefix without the pinned versions is built again.
set -euo pipefail

readonly SYSTEM_PACKAGES=(libsdl3-dev libsdl3-image-dev libsdl3-ttf-dev)
readonly PINNED=(libsdl3=3.2.10+ds-1 libsdl3-image=3.2.4+ds-1+deb13u1 libsdl3-ttf=3.2.2+ds-1)
readonly SOURCE_SUITE=trixie
# What the three libraries need for a desktop window, PNG images and TrueType text; no sound.
readonly BUILD_DEPENDENCIES=(cmake ninja-build pkgconf dpkg-dev g++ xz-utils
    debian-archive-keyring libx11-dev libxext-dev libxrandr-dev libxcursor-dev libxi-dev
    libxss-dev libxfixes-dev libxinerama-dev libxkbcommon-dev libwayland-dev wayland-protocols
    libegl-dev libgl-dev libgles-dev libdrm-dev libgbm-dev libudev-dev libdbus-1-dev
    libdecor-0-dev libpng-dev libjpeg-dev zlib1g-dev libfreetype-dev libharfbuzz-dev)
readonly KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg

prefix=${VOIDROCKS_SDL3_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/voidrocks/sdl3}
stamp=$prefix/.voidrocks-sdl3-stamp
# Beside the prefix, so that it outlives a failed build.
build_log=$prefix.build.log

log() { printf 'install-sdl3: %s\n' "$*" >&2; }
die() { log "error: $*"; exit 1; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
installed() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 1
    done
}
candidates() { [ "$(LC_ALL=C apt-cache policy "$@" 2>/dev/null | grep -c 'Candidate: [^(]')" -eq $# ]; }
apt_install() {
    installed "$@" && return 0
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >&2
}
# One .dsc name per pinned package, as apt-get source writes them: pkg_version.dsc.
pinned_dsc() { local p; for p in "${PINNED[@]}"; do printf '%s_%s.dsc\n' "${p%%=*}" "${p#*=}"; done; }
stamp_ok() {
    local line
    [ -f "$stamp" ] || return 1
    while read -r line; do grep -qxF "$line" "$stamp" || return 1; done < <(pinned_dsc)
}
use_system() { installed "${SYSTEM_PACKAGES[@]}" || { ! stamp_ok && candidates "${SYSTEM_PACKAGES[@]}"; }; }

if [ "${1:-}" = --print-prefix ]; then
    if use_system; then echo; else printf '%s\n' "$prefix"; fi
    exit 0
fi
[ $# -eq 0 ] || die "unknown argument: $1"

# A machine whose package lists were never fetched knows no candidates.
compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null || as_root apt-get update -qq >&2
if use_system; then
    apt_install "${SYSTEM_PACKAGES[@]}"
    echo
    exit 0
fi

stamp_ok && { printf '%s\n' "$prefix"; exit 0; }
# Concurrent runs for one prefix wait for each other; the first one builds.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if stamp_ok; then
    printf '%s\n' "$prefix"
    exit 0
fi

started=$SECONDS
apt_install "${BUILD_DEPENDENCIES[@]}"
work=$(mktemp -d "${TMPDIR:-/tmp}/voidrocks-sdl3.XXXXXX")
trap 'rm -rf "$work"' EXIT
log "building SDL3, SDL3_image and SDL3_ttf into $prefix (a few minutes; log: $build_log)"
: >"$build_log"
run() { "$@" >>"$build_log" 2>&1 || { tail -n 40 "$build_log" >&2; die "failed: $*"; }; }

# The Debian 13 sources come from the mirror this machine's apt already uses, through a private
# apt configuration (the machine's own stays untouched), checked against the archive's keyring.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
mirror=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $codename" "Origin: Debian" |
    head -n 1)
[ -n "$mirror" ] || die "no Debian mirror found in apt's sources for '$codename'"
apt_dir=$work/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts" "$work/src"
echo "deb-src [signed-by=$KEYRING] $mirror $SOURCE_SUITE main" >"$apt_dir/sources.list"
# As root, apt downloads as its unprivileged user.
if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
    chmod 755 "$work"
    chown -R _apt "$apt_dir/lists" "$work/src"
fi
private_apt() {
    apt-get -q -o Dir::Etc::SourceList="$apt_dir/sources.list" \
        -o Dir::Etc::SourceParts="$apt_dir/parts" -o Dir::State::Lists="$apt_dir/lists" \
        -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o APT::Update::Error-Mode=any "$@"
}
run private_apt update
(cd "$work/src" && run private_apt source --download-only "${PINNED[@]}")
while read -r dsc; do
    (cd "$work/src" && run dpkg-source -x "$dsc")
done < <(pinned_dsc)

build() {
    local name=$1 source=$2
    shift 2
    log "building $name"
    run cmake -S "$source" -B "$work/build-$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_INSTALL_LIBDIR=lib "$@"
    run cmake --build "$work/build-$name"
    run cmake --install "$work/build-$name"
}
# The stamp marks the prefix as this script's, complete or not; anything else is left alone.
if [ -n "$(ls -A "$prefix" 2>/dev/null)" ] && [ ! -f "$stamp" ]; then
    die "$prefix holds files this script did not put there"
fi
rm -rf "$prefix"
mkdir -p "$prefix"
echo "incomplete" >"$stamp"
build SDL3 "$(compgen -G "$work/src/libsdl3-[0-9]*/")" -DSDL_TESTS=OFF -DSDL_EXAMPLES=OFF \
    -DSDL_INSTALL_DOCS=OFF
# $ORIGIN: the two find libSDL3 beside them.
build SDL3_image "$(compgen -G "$work/src/libsdl3-image-[0-9]*/")" -DCMAKE_INSTALL_RPATH='$ORIGIN' \
    -DSDLIMAGE_VENDORED=OFF -DSDLIMAGE_BACKEND_STB=OFF -DSDLIMAGE_SAMPLES=OFF -DSDLIMAGE_TESTS=OFF -DSDLIMAGE_AVIF=OFF \
    -DSDLIMAGE_TIF=OFF -DSDLIMAGE_WEBP=OFF -DSDLIMAGE_JXL=OFF
build SDL3_ttf "$(compgen -G "$work/src/libsdl3-ttf-[0-9]*/")" -DCMAKE_INSTALL_RPATH='$ORIGIN' \
    -DSDLTTF_VENDORED=OFF -DSDLTTF_SAMPLES=OFF -DSDLTTF_TESTS=OFF -DSDLTTF_HARFBUZZ=ON \
    -DSDLTTF_PLUTOSVG=OFF
pinned_dsc >"$stamp"
log "done in $((SECONDS - started)) s"
printf '%s\n' "$prefix"
