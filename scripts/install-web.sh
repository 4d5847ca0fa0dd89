#!/usr/bin/env bash
# Makes the browser toolchain and the game's libraries for wasm32 available, and prints, as the
# one line on standard output, the folder that holds them (a shared cache, built once):
#
#   <cache>/emscripten/           Debian 13's emscripten source package with its patches
#   <cache>/node_modules/         the npm packages pinned by web/package.json and its lock
#   <cache>/emscripten.config     emscripten on the distribution's LLVM 19 and npm's binaryen
#   <cache>/prefix/               SDL3, FreeType, SDL3_image, SDL3_ttf, zlib, libpng and
#                                 GoogleTest for wasm32, and a CMake package for Boost's headers
#   <cache>/emscripten/.emscripten  the configuration emcc finds by itself (no environment)
#   <cache>/env.sh                for a shell that wants emcc on its PATH
#
#   scripts/install-web.sh                 install what is missing, then print the cache
#   scripts/install-web.sh --print-cache   print the cache only; changes nothing
#
# The cache is ${VOIDROCKS_WEB_CACHE:-~/.cache/voidrocks/web}, shared by every clone. Its stamp
# lists the pinned versions, the lock file's hash and this script's own hash; a cache without
# them is built again, so a changed script rebuilds it. VOIDROCKS_WEB_CACHE=<empty folder> builds
# one from nothing (to time a first build) without touching the shared one.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly PINNED=(emscripten=3.1.69+dfsg-3 libsdl3=3.2.10+ds-1 libsdl3-image=3.2.4+ds-1+deb13u1
    libsdl3-ttf=3.2.2+ds-1 freetype=2.13.3+dfsg-1+deb13u2 googletest=1.16.0-1)
# zlib and libpng for the image check: the first source the archive still serves is built, as
# for Windows (some Debian 13 security updates' files have been withdrawn from some mirrors).
readonly ZLIB_CANDIDATES=(zlib=1:1.3.dfsg+really1.3.1-1+deb13u1 zlib=1:1.3.dfsg+really1.3.1-1
    zlib=1:1.2.13.dfsg-1)
readonly LIBPNG_CANDIDATES=(libpng1.6=1.6.48-1+deb13u6 libpng1.6=1.6.39-2+deb12u5)
readonly SOURCE_SUITES=(trixie bookworm)
readonly LLVM_VERSION=19
# Compilers, the tools emscripten runs, and what unpacks and patches the sources.
readonly BUILD_DEPENDENCIES=("clang-$LLVM_VERSION" "lld-$LLVM_VERSION" "llvm-$LLVM_VERSION"
    python3 cmake ninja-build make xz-utils patch debian-archive-keyring libboost-dev)
readonly KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg
# Flags every wasm32 object and link shares: npm's binaryen has no wasm-emscripten-finalize,
# which only 64-bit integers passed as BigInt make unnecessary.
readonly WASM_LINK_FLAGS="-sWASM_BIGINT=1"

cache=${VOIDROCKS_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/voidrocks/web}
stamp=$cache/.voidrocks-web-stamp
build_log=$cache.build.log

log() { printf 'install-web: %s\n' "$*" >&2; }
die() { log "error: $*"; exit 1; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
installed() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 1
    done
}
apt_install() {
    local missing=() p
    for p in "$@"; do installed "$p" || missing+=("$p"); done
    ((${#missing[@]})) || return 0
    log "installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}" >&2
}
expected_stamp() {
    printf '%s\n' "${PINNED[@]}" "llvm-$LLVM_VERSION" "flags $WASM_LINK_FLAGS"
    printf 'lock %s\n' "$(sha256sum <web/package-lock.json | cut -d' ' -f1)"
    printf 'script %s\n' "$(sha256sum <scripts/install-web.sh | cut -d' ' -f1)"
}
stamp_ok() { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(expected_stamp)" ]; }

if [ "${1:-}" = --print-cache ]; then
    printf '%s\n' "$cache"
    exit 0
fi
[ $# -eq 0 ] || die "unknown argument: $1"

# node and npm come from the distribution unless the machine already has them.
command -v node >/dev/null || apt_install nodejs
command -v npm >/dev/null || apt_install npm
stamp_ok && installed "${BUILD_DEPENDENCIES[@]}" && { printf '%s\n' "$cache"; exit 0; }

compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null || as_root apt-get update -qq >&2
apt_install "${BUILD_DEPENDENCIES[@]}"
stamp_ok && { printf '%s\n' "$cache"; exit 0; }
# Concurrent runs for one cache wait for each other; the first one builds.
mkdir -p "$(dirname "$cache")"
exec 9>"$cache.lock"
flock 9
stamp_ok && { printf '%s\n' "$cache"; exit 0; }

started=$SECONDS
work=$(mktemp -d "${TMPDIR:-/tmp}/voidrocks-web.XXXXXX")
trap 'rm -rf "$work"' EXIT
log "building the browser toolchain and libraries into $cache (several minutes; log: $build_log)"
: >"$build_log"
run() { "$@" >>"$build_log" 2>&1 || { tail -n 40 "$build_log" >&2; die "failed: $*"; }; }

# The Debian 13 sources come from the mirror this machine's apt already uses, through a private
# apt configuration (the machine's own stays untouched); apt checks each file against the
# archive's signed index.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
mirror=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $codename" "Origin: Debian" |
    head -n 1)
[ -n "$mirror" ] || die "no Debian mirror found in apt's sources for '$codename'"
apt_dir=$work/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts" "$work/src"
for suite in "${SOURCE_SUITES[@]}"; do
    echo "deb-src [signed-by=$KEYRING] $mirror $suite main"
done >"$apt_dir/sources.list"
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
# Some files of these packages (a .dsc, a small extra tarball) are missing from some mirrors;
# what arrived is checked below, and each source is unpacked from its tarballs by hand.
(cd "$work/src" && private_apt source --download-only "${PINNED[@]}" >>"$build_log" 2>&1) || true
# The first of the candidates whose files all arrive.
first_served() {
    local candidate
    for candidate in "$@"; do
        if (cd "$work/src" && private_apt source --download-only "$candidate" \
            >>"$build_log" 2>&1); then
            printf '%s\n' "$candidate"
            return 0
        fi
    done
    die "none of $* could be downloaded"
}
zlib=$(first_served "${ZLIB_CANDIDATES[@]}")
libpng=$(first_served "${LIBPNG_CANDIDATES[@]}")

# Unpacks pkg=version's upstream tarball into $work/<pkg> and applies its Debian patches, when
# its Debian tarball arrived (FreeType's did not on every mirror: its upstream source is used).
unpack() {
    local pkg=${1%%=*} version=${1#*=} upstream orig debian_tar line
    version=${version#*:} # file names leave the epoch out
    upstream=${version%-*}
    orig=$(compgen -G "$work/src/${pkg}_${upstream}.orig.tar.*" | grep -v '\.asc$' | head -n 1) ||
        die "the upstream tarball of $pkg $version did not arrive"
    mkdir -p "$work/$pkg"
    run tar -xf "$orig" -C "$work/$pkg" --strip-components=1
    debian_tar=$(compgen -G "$work/src/${pkg}_${version}.debian.tar.*" | head -n 1) || {
        log "$pkg: no Debian tarball, building the upstream source"
        return 0
    }
    run tar -xf "$debian_tar" -C "$work/$pkg"
    [ -f "$work/$pkg/debian/patches/series" ] || return 0
    while read -r line; do
        line=${line%%#*}
        [ -n "${line// /}" ] || continue
        run patch -d "$work/$pkg" -p1 -s -i "debian/patches/${line%% *}"
    done <"$work/$pkg/debian/patches/series"
}
for p in "${PINNED[@]}" "$zlib" "$libpng"; do
    log "unpacking ${p%%=*}"
    unpack "$p"
done
[ -f "$work/emscripten/debian/patches/series" ] || die "emscripten's Debian patches did not arrive"

# The stamp marks the cache as this script's, complete or not; anything else is left alone.
if [ -n "$(ls -A "$cache" 2>/dev/null)" ] && [ ! -f "$stamp" ]; then
    die "$cache holds files this script did not put there"
fi
rm -rf "$cache"
mkdir -p "$cache"
echo "incomplete" >"$stamp"

# emscripten runs from its patched source tree. Debian drops the generated key-code table;
# its generator is in the tree.
mv "$work/emscripten" "$cache/emscripten"
(cd "$cache/emscripten" && run python3 tools/create_dom_pk_codes.py)
# npm's packages by name and version from the lock, checked against its hashes; emscripten's
# JavaScript optimiser finds acorn in this folder above its own.
cp web/package.json web/package-lock.json "$cache/"
log "npm ci"
(cd "$cache" && run npm ci --no-audit --no-fund --ignore-scripts)
cat >"$cache/emscripten.config" <<EOF
LLVM_ROOT = '/usr/bin'
LLVM_ADD_VERSION = '$LLVM_VERSION'
CLANG_ADD_VERSION = '$LLVM_VERSION'
BINARYEN_ROOT = '$cache/node_modules/binaryen'
NODE_JS = '$(command -v node)'
CACHE = '$cache/em-cache'
EOF
# emcc reads the configuration beside it when EM_CONFIG is not set, so builds need no
# environment of their own.
cp "$cache/emscripten.config" "$cache/emscripten/.emscripten"
cat >"$cache/env.sh" <<EOF
export EM_CONFIG='$cache/emscripten.config'
export EM_CACHE='$cache/em-cache'
export PATH='$cache/emscripten':"\$PATH"
EOF
# shellcheck source=/dev/null
. "$cache/env.sh"
prefix=$cache/prefix

build() {
    local name=$1 source=$2
    shift 2
    log "building $name for wasm32"
    run emcmake cmake -S "$source" -B "$work/build-$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
        -DCMAKE_EXE_LINKER_FLAGS="$WASM_LINK_FLAGS" -DCMAKE_POLICY_DEFAULT_CMP0056=NEW \
        -DBUILD_SHARED_LIBS=OFF "$@"
    run cmake --build "$work/build-$name"
    run cmake --install "$work/build-$name"
}
build SDL3 "$work/libsdl3" -DSDL_TESTS=OFF -DSDL_EXAMPLES=OFF -DSDL_INSTALL_DOCS=OFF \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON
build FreeType "$work/freetype" -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
build SDL3_image "$work/libsdl3-image" -DSDLIMAGE_VENDORED=OFF -DSDLIMAGE_BACKEND_STB=ON \
    -DSDLIMAGE_SAMPLES=OFF -DSDLIMAGE_TESTS=OFF -DSDLIMAGE_AVIF=OFF -DSDLIMAGE_TIF=OFF \
    -DSDLIMAGE_WEBP=OFF -DSDLIMAGE_JXL=OFF
build SDL3_ttf "$work/libsdl3-ttf" -DSDLTTF_VENDORED=OFF -DSDLTTF_SAMPLES=OFF -DSDLTTF_TESTS=OFF \
    -DSDLTTF_HARFBUZZ=OFF -DSDLTTF_PLUTOSVG=OFF
# Tests run under node in one thread, with exceptions as the tests throw them.
build GoogleTest "$work/googletest" -DCMAKE_CXX_FLAGS=-fexceptions -Dgtest_disable_pthreads=ON \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
# zlib through its own configure script (Debian's source lacks what its CMake build expects
# for Windows), static; then libpng on it, without its programs and tests.
log "building zlib for wasm32"
(cd "$work/zlib" && run emconfigure ./configure --static --prefix="$prefix" &&
    run emmake make -j "$(nproc)" install)
build libpng "$work/libpng1.6" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF \
    -DPNG_TESTS=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF
# Boost is used for its headers only, which are the same on every platform: a CMake package
# pointing at the distribution's copy through the prefix's include folder (the distribution's
# include folder as a whole would hand the host's C library to wasm32).
boost_version=$(sed -n 's/^#define BOOST_LIB_VERSION "\(.*\)"/\1/p' /usr/include/boost/version.hpp |
    tr _ .)
[ -n "$boost_version" ] || die "no Boost headers in /usr/include/boost"
mkdir -p "$prefix/include" "$prefix/lib/cmake/Boost-$boost_version"
ln -sfn /usr/include/boost "$prefix/include/boost"
cat >"$prefix/lib/cmake/Boost-$boost_version/BoostConfig.cmake" <<'EOF'
# The system's Boost headers, for a build that uses no compiled Boost library.
if(NOT TARGET Boost::headers)
    add_library(Boost::headers INTERFACE IMPORTED)
    set_target_properties(Boost::headers PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/../../../include")
endif()
EOF
cat >"$prefix/lib/cmake/Boost-$boost_version/BoostConfigVersion.cmake" <<EOF
set(PACKAGE_VERSION $boost_version)
if(PACKAGE_FIND_VERSION VERSION_GREATER PACKAGE_VERSION)
    set(PACKAGE_VERSION_COMPATIBLE FALSE)
else()
    set(PACKAGE_VERSION_COMPATIBLE TRUE)
endif()
EOF
printf '%s\n' "$zlib" "$libpng" >"$cache/sources-served"

expected_stamp >"$stamp"
log "done in $((SECONDS - started)) s"
printf '%s\n' "$cache"
