#!/usr/bin/env bash
# Makes the Windows cross build possible: installs Debian's mingw-w64 compilers and Wine, and
# builds what the game links for 64-bit Windows once, from Debian's source packages, into
# ${VOIDROCKS_WIN64_PREFIX:-~/.cache/voidrocks/win64}, shared by every clone. Prints, as the one
# line on standard output, that prefix.
#
#   scripts/install-win64.sh                 install what is missing, then print the prefix
#   scripts/install-win64.sh --print-prefix  print the prefix only; changes nothing
#
# The prefix holds FreeType, HarfBuzz, libpng, SDL3, SDL3_image, SDL3_ttf and GoogleTest as DLLs
# and import libraries (zlib is Debian's own mingw-w64 build, installed as a package), a CMake
# package for the system's Boost headers (they need no building), and each library's licence
# under share/licenses. Its stamp lists the source versions and the compiler; a prefix without
# them is built again.
set -euo pipefail

readonly PINNED=(libsdl3=3.2.10+ds-1 libsdl3-image=3.2.4+ds-1+deb13u1 libsdl3-ttf=3.2.2+ds-1
    harfbuzz=10.2.0-1+deb13u1)
# The first FreeType source the archive still serves is built: Debian 13's files have been
# withdrawn from some mirrors after a security update, Debian 12's stay.
readonly FREETYPE_CANDIDATES=(freetype=2.13.3+dfsg-1+deb13u2 freetype=2.12.1+dfsg-5+deb12u4)
# libpng, for the image check, the same way.
readonly LIBPNG_CANDIDATES=(libpng1.6=1.6.48-1+deb13u6 libpng1.6=1.6.39-2+deb12u5)
readonly SOURCE_SUITES=(trixie bookworm)
readonly TRIPLE=x86_64-w64-mingw32
readonly TOOLS=(g++-mingw-w64-x86-64-posix wine cmake ninja-build pkgconf dpkg-dev xz-utils
    debian-archive-keyring libgtest-dev libboost-dev libz-mingw-w64-dev)
readonly KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg

prefix=${VOIDROCKS_WIN64_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/voidrocks/win64}
stamp=$prefix/.voidrocks-win64-stamp
build_log=$prefix.build.log

log() { printf 'install-win64: %s\n' "$*" >&2; }
die() { log "error: $*"; exit 1; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
installed() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 1
    done
}
has_candidate() { LC_ALL=C apt-cache policy "$1" 2>/dev/null | grep -q 'Candidate: [^(]'; }
apt_install() {
    installed "$@" && return 0
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >&2
}
dsc_of() { printf '%s_%s.dsc\n' "${1%%=*}" "${1#*=}"; }
compiler_id() { "$TRIPLE-g++-posix" -dumpversion 2>/dev/null | sed 's/^/mingw-w64 g++ /'; }
gtest_id() { dpkg-query -W -f='googletest ${Version}\n' libgtest-dev 2>/dev/null; }
# What a complete prefix was built from, one line each; the FreeType and libpng lines are any
# of their candidates.
stamp_ok() {
    local p
    [ -f "$stamp" ] || return 1
    for p in "${PINNED[@]}"; do grep -qxF "$(dsc_of "$p")" "$stamp" || return 1; done
    grep -q '^freetype_' "$stamp" && grep -q '^libpng1\.6_' "$stamp" || return 1
    grep -qxF "$(compiler_id)" "$stamp" && grep -qxF "$(gtest_id)" "$stamp"
}

if [ "${1:-}" = --print-prefix ]; then
    printf '%s\n' "$prefix"
    exit 0
fi
[ $# -eq 0 ] || die "unknown argument: $1"

compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null || as_root apt-get update -qq >&2
# Debian 12 splits Wine's 64-bit half into wine64; Debian 13 folds it into wine.
tools=("${TOOLS[@]}")
has_candidate wine64 && tools+=(wine64)
apt_install "${tools[@]}"

stamp_ok && { printf '%s\n' "$prefix"; exit 0; }
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if stamp_ok; then
    printf '%s\n' "$prefix"
    exit 0
fi

started=$SECONDS
work=$(mktemp -d "${TMPDIR:-/tmp}/voidrocks-win64.XXXXXX")
trap 'rm -rf "$work"' EXIT
log "building the Windows libraries into $prefix (a few minutes; log: $build_log)"
: >"$build_log"
run() { "$@" >>"$build_log" 2>&1 || { tail -n 40 "$build_log" >&2; die "failed: $*"; }; }

# The sources come from the mirror this machine's apt already uses, through a private apt
# configuration (the machine's own stays untouched), checked against the archive's keyring.
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
(cd "$work/src" && run private_apt source --download-only "${PINNED[@]}")
# The first of the candidates that the archive serves.
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
freetype=$(first_served "${FREETYPE_CANDIDATES[@]}")
libpng=$(first_served "${LIBPNG_CANDIDATES[@]}")
for p in "${PINNED[@]}" "$freetype" "$libpng"; do
    (cd "$work/src" && run dpkg-source -x "$(dsc_of "$p")")
done
source_of() { compgen -G "$work/src/$1-[0-9]*/" | head -n 1; }

toolchain=$(cd "$(dirname "$0")/.." && pwd)/cmake/mingw-w64.cmake
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
build() {
    local name=$1 source=$2
    shift 2
    log "building $name"
    run cmake -S "$source" -B "$work/build-$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVOIDROCKS_WIN64_PREFIX="$prefix" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=ON "$@"
    run cmake --build "$work/build-$name"
    run cmake --install "$work/build-$name"
}
licence() {
    mkdir -p "$prefix/share/licenses/$1"
    cp "${@:2}" "$prefix/share/licenses/$1/"
}
if [ -n "$(ls -A "$prefix" 2>/dev/null)" ] && [ ! -f "$stamp" ]; then
    die "$prefix holds files this script did not put there"
fi
rm -rf "$prefix"
mkdir -p "$prefix"
echo "incomplete" >"$stamp"

# FreeType with its own inflate for compressed fonts and nothing else: no PNG glyphs, and no
# HarfBuzz, which is built on top of it next.
source=$(source_of freetype)
build FreeType "$source" -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
licence FreeType "$source/LICENSE.TXT" "$source/docs/FTL.TXT"
# libpng as a DLL against Debian's zlib1.dll, without its programs and tests.
source=$(source_of libpng1.6)
build libpng "$source" -DPNG_SHARED=ON -DPNG_STATIC=OFF -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF
licence libpng "$source/LICENSE"
source=$(source_of harfbuzz)
build HarfBuzz "$source" -DHB_HAVE_FREETYPE=ON -DHB_BUILD_SUBSET=OFF -DHB_BUILD_UTILS=OFF
licence HarfBuzz "$source/COPYING"
# Debian's "+ds" source has no prebuilt Direct3D or GPU shaders: players get OpenGL, Vulkan or
# the software renderer.
build SDL3 "$(source_of libsdl3)" -DSDL_TESTS=OFF -DSDL_EXAMPLES=OFF -DSDL_INSTALL_DOCS=OFF \
    -DSDL_RENDER_D3D=OFF -DSDL_RENDER_D3D11=OFF -DSDL_RENDER_D3D12=OFF -DSDL_GPU=OFF
# PNG through SDL_image's bundled decoder and encoder: no further DLL.
build SDL3_image "$(source_of libsdl3-image)" -DSDLIMAGE_VENDORED=OFF -DSDLIMAGE_SAMPLES=OFF \
    -DSDLIMAGE_TESTS=OFF -DSDLIMAGE_AVIF=OFF -DSDLIMAGE_TIF=OFF -DSDLIMAGE_WEBP=OFF \
    -DSDLIMAGE_JXL=OFF
build SDL3_ttf "$(source_of libsdl3-ttf)" -DSDLTTF_VENDORED=OFF -DSDLTTF_SAMPLES=OFF \
    -DSDLTTF_TESTS=OFF -DSDLTTF_HARFBUZZ=ON -DSDLTTF_PLUTOSVG=OFF
# The tests' framework from the system's own GoogleTest source, as static libraries.
build GoogleTest /usr/src/googletest -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF \
    -Dgtest_disable_pthreads=OFF

# Boost is used for its headers only, which are the same on every platform: a CMake package
# pointing at the system's copy.
boost_version=$(sed -n 's/^#define BOOST_LIB_VERSION "\(.*\)"/\1/p' /usr/include/boost/version.hpp |
    tr _ .)
[ -n "$boost_version" ] || die "no Boost headers in /usr/include/boost"
mkdir -p "$prefix/include" "$prefix/lib/cmake/Boost-$boost_version"
ln -s /usr/include/boost "$prefix/include/boost"
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

{
    for p in "${PINNED[@]}" "$freetype" "$libpng"; do dsc_of "$p"; done
    compiler_id
    gtest_id
} >"$stamp"
log "done in $((SECONDS - started)) s"
printf '%s\n' "$prefix"
