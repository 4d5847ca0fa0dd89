#!/usr/bin/env bash
# Runs a command in a fresh Debian root, as a newcomer's machine would be: the minimal base
# system with only git and make. Needs root (mmdebstrap, mounts, chroot).
#
#   scripts/fresh-root.sh [options] RELEASE COMMAND...
#
#   RELEASE         bookworm (Debian 12) or trixie (Debian 13)
#   --root DIR      the root to use: made fresh when DIR does not exist, used as it is when it
#                   does, and kept afterwards; without it a new root is removed at the end
#   --user NAME     run COMMAND as NAME, a normal user who may use sudo (sudo is installed)
#   --repo          clone this repository's HEAD into the user's home first; run COMMAND there
#   --display :N    bind the X server's socket folder in and pass DISPLAY
#
# The mirror is the one this machine's apt already uses, read now. The first root of a release
# is made with mmdebstrap (one to two minutes) and kept as a pristine tarball in
# ${VOIDROCKS_ROOTS:-~/.cache/voidrocks/roots}; every later root of it is unpacked from there in
# seconds.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

root="" user="" clone=false display=""
while [ $# -gt 0 ]; do
    case $1 in
        --root) root=$2; shift 2 ;;
        --user) user=$2; shift 2 ;;
        --repo) clone=true; shift ;;
        --display) display=$2; shift 2 ;;
        -*) echo "fresh-root: unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
done
[ $# -ge 2 ] || { sed -n '2,16p' "$0" >&2; exit 2; }
release=$1
shift
[ "$(id -u)" -eq 0 ] || { echo "fresh-root: needs root (mmdebstrap, mount, chroot)" >&2; exit 1; }
log() { printf 'fresh-root: %s\n' "$*" >&2; }

if ! command -v mmdebstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap >&2
fi

cache=${VOIDROCKS_ROOTS:-${XDG_CACHE_HOME:-$HOME/.cache}/voidrocks/roots}
tarball=$cache/$release-minbase.tar
if [ ! -s "$tarball" ]; then
    mirror=$(apt-get indextargets --format '$(REPO_URI)' "Origin: Debian" "Label: Debian" |
        head -n 1)
    [ -n "$mirror" ] || { log "no Debian mirror in this machine's apt sources"; exit 1; }
    mkdir -p "$cache"
    log "making the pristine $release root (once; a minute or two)"
    mmdebstrap --quiet --format=tar --variant=minbase --include=git,make,ca-certificates --mode=root \
        "$release" "$tarball.part" "deb $mirror $release main"
    mv "$tarball.part" "$tarball"
fi

keep=true
if [ -z "$root" ]; then
    root=$(mktemp -d /tmp/voidrocks-root.XXXXXX)
    keep=false
    trap 'rm -rf --one-file-system "$root"' EXIT
fi
if [ ! -e "$root/etc/debian_version" ]; then
    mkdir -p "$root"
    tar -xf "$tarball" -C "$root"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
grep -qsw "$(hostname)" "$root/etc/hosts" || echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"

home=/root
if [ -n "$user" ]; then
    home=/home/$user
    if ! chroot "$root" id "$user" >/dev/null 2>&1; then
        chroot "$root" sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -qq --no-install-recommends sudo >/dev/null"
        chroot "$root" useradd --create-home --shell /bin/bash "$user"
        echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
    fi
fi
workdir=$home
if $clone; then
    workdir=$home/voidrocks
    rm -rf "$root$workdir"
    git clone --quiet --no-hardlinks "$repo" "$root$workdir"
    [ -z "$user" ] || chroot "$root" chown -R "$user:$user" "$workdir"
fi

# The mounts live in a namespace of their own, so they go when the command ends, however it
# ends.
as_user=()
[ -z "$user" ] || as_user=(runuser -u "$user" --)
env_vars=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME="$home"
    USER="${user:-root}" LANG=C.UTF-8 TERM=dumb)
[ -z "$display" ] || env_vars+=(DISPLAY="$display")
mkdir -p "$root/tmp/.X11-unix"
# A kept root needs no cleaning up: the command takes this script's place.
run=()
! $keep || run=(exec)
"${run[@]}" unshare --mount --propagation private -- sh -c '
    root=$1 display=$2; shift 2
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount --rbind /sys "$root/sys"
    [ -z "$display" ] || mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    exec chroot "$root" "$@"' sh "$root" "$display" \
    "${as_user[@]}" env -i "${env_vars[@]}" sh -c 'cd "$1" && shift && exec "$@"' sh "$workdir" "$@"
