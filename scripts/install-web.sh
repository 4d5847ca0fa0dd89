#!/usr/bin/env bash
# Makes the browser toolchain and the game's libraries for wasm32 available, and prints, as the
# one line on standard output, the folder that holds them (a shared cache, built once):
#
#   <cache>/emscripten/           Debian 13's emscripten source package with its patches
#   <cache>/node_modules/         the npm packages pinned by web/package.json and its lock
#   <cache>/emscripten.config     emscripten on the distribution's LLVM 19 and npm's binaryen
#   <cache>/prefix/               SDL3, FreeType, SDL3_image, SDL3_ttf, GoogleTest for wasm32
#   <cache>/env.sh                sourced by the Makefile: EM_CONFIG, EM_CACHE, PATH
#
#   scripts/install-web.sh                 install what is missing, then print the cache
#   scripts/install-web.sh --print-cache   print the cache only; changes nothing
#
# The cache is ${VOIDROCKS_WEB_CACHE:-~/.cache/voidrocks/web}, shared by every clone. Its stamp
# lists the pinned versions and the lock file's hash; a cache without them is built again.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly PINNED=(emscripten=3.1.69+dfsg-3 libsdl3=3.2.10+ds-1 libsdl3-image=3.2.4+ds-1+deb13u1
    libsdl3-ttf=3.2.2+ds-1 freetype=2.13.3+dfsg-1+deb13u2 googletest=1.16.0-1)
readonly SOURCE_SUITE=trixie
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
echo "deb-src [signed-by=$KEYRING] $mirror $SOURCE_SUITE main" >"$apt_dir/sources.list"
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

# Unpacks pkg=version's upstream tarball into $work/<pkg> and applies its Debian patches, when
# its Debian tarball arrived (FreeType's did not on every mirror: its upstream source is used).
unpack() {
    local pkg=${1%%=*} version=${1#*=} upstream orig debian_tar line
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
for p in "${PINNED[@]}"; do
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
EOF
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
# Boost is headers only: the distribution's, through a copy of its CMake package whose
# include folder is the prefix's, which links to the distribution's Boost headers alone (the
# distribution's include folder as a whole would hand the host's C library to wasm32). The
# copy sits one folder less deep than the distribution's, hence one "../" less.
boost_config=$(compgen -G "/usr/lib/*/cmake/boost_headers-*" | head -n 1) ||
    die "no Boost headers package (libboost-dev)"
mkdir -p "$prefix/lib/cmake" "$prefix/include"
cp -r "$boost_config" "$(compgen -G "/usr/lib/*/cmake/Boost-*" | head -n 1)" "$prefix/lib/cmake/"
sed -i 's|_BOOST_CMAKEDIR}/../../../include/|_BOOST_CMAKEDIR}/../../include/|' \
    "$prefix/lib/cmake/$(basename "$boost_config")/$(basename "${boost_config%-*}")-config.cmake"
grep -q '_BOOST_CMAKEDIR}/../../include/' "$prefix"/lib/cmake/boost_headers-*/*-config.cmake ||
    die "Boost's CMake package has changed its layout"
ln -sfn /usr/include/boost "$prefix/include/boost"

expected_stamp >"$stamp"
log "done in $((SECONDS - started)) s"
printf '%s\n' "$cache"
