#!/usr/bin/env bash
# Configures one of the builds of CMakePresets.json, and prints its folder. A folder is
# configured when it is new or was configured with other settings (without settings, any
# configuration of the preset will do); otherwise Ninja re-runs CMake by itself when needed, so
# that the builds never reconfigure each other.
#
#   scripts/configure.sh PRESET [-DNAME=VALUE ...]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:?usage: configure.sh PRESET [-DNAME=VALUE ...]}
shift
# The preset's folder, and whether it cross-builds with a toolchain file of its own.
read -r dir cross < <(python3 -c 'import json, sys
presets = {p["name"]: p for p in json.load(open("CMakePresets.json"))["configurePresets"]}
p, folder, cross = presets[sys.argv[1]], None, False
while p:
    folder = folder or p.get("binaryDir")
    cross = cross or "toolchainFile" in p
    p = presets.get(p.get("inherits"))
print(folder.replace("${sourceDir}/", ""), int(cross))' "$preset")
# The Linux SDL3 prefix (empty where the distribution's packages are used); a cross build names
# its own.
prefix=""
[ "$cross" = 1 ] || prefix=$(scripts/install-sdl3.sh --print-prefix)
settings="$preset $prefix $*"
configured=$(cat "$dir/.voidrocks-settings" 2>/dev/null || true)
if [ ! -f "$dir/CMakeCache.txt" ] || { [ "$configured" != "$settings" ] &&
    { [ $# -gt 0 ] || [ "${configured%% *}" != "$preset" ]; }; }; then
    CMAKE_PREFIX_PATH=$prefix cmake --preset "$preset" "$@" >&2
    echo "$settings" >"$dir/.voidrocks-settings"
fi
echo "$dir"
