#!/bin/sh
# Makes the sample distribution: the product's source files (make-payload.py)
# and from them, with mkdisks and samples/ortavel.layout, the floppy disks
# build/samples/disks/DISK01.. with install.exe and licencia.txt on DISK01.
# Disks that are newer than everything they are made from are left alone.
# SAMPLE_INSTALLER and SAMPLE_DISKS name another installer (the 32-bit
# build) and another output folder.
#   samples/make-disks.sh [--force]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
samples="$root/samples"
out="$root/build/samples"
disks="${SAMPLE_DISKS:-$out/disks}"
mkdisks="$root/build/host/mkdisks"
installer="${SAMPLE_INSTALLER:-$root/build/win64/install.exe}"
force=${1:-}

mkdir -p "$out"
# Tests and the demo may make the disks at the same time.
exec 9>"$out/.lock"
flock 9

if [ ! -x "$mkdisks" ]; then
    (cd "$root" && cmake --preset host >/dev/null && cmake --build build/host -j2 --target mkdisks >/dev/null)
fi
# The second uninstall stage comes from the installer's build.
stage="$(dirname "$installer")/uninsta.exe"
if [ ! -f "$installer" ] || [ ! -f "$stage" ]; then
    (cd "$root" && cmake --preset win64 >/dev/null &&
     cmake --build build/win64 -j2 --target setup_program sample_uninsta >/dev/null)
fi

# Unchanged source files keep their times, so this never makes disks stale.
python3 "$samples/make-payload.py" "$out/files" >/dev/null

stamp="$disks/DISK01/install.ini"
if [ "$force" != "--force" ] && [ -f "$stamp" ] &&
   [ -z "$(find "$samples/ortavel.layout" "$samples/licencia.txt" "$samples/make-payload.py" \
              "$installer" "$stage" "$mkdisks" "$out/files" -newer "$stamp" -print -quit)" ]; then
    echo "disks are up to date in $disks"
    exit 0
fi

rm -rf "$disks"
layout="$samples/ortavel.layout"
# The installer the uninstall entry runs is the one on the disks.
if [ "$installer" != "$root/build/win64/install.exe" ]; then
    layout="$out/ortavel-$(basename "$(dirname "$installer")").layout"
    relative=$(python3 -c 'import os, sys; print(os.path.relpath(sys.argv[1], sys.argv[2]))' "$installer" "$out/files")
    stage_relative=$(python3 -c 'import os, sys; print(os.path.relpath(sys.argv[1], sys.argv[2]))' "$stage" "$out/files")
    sed -e "s#\.\./\.\./win64/install\.exe#$relative#" -e "s#\.\./\.\./win64/uninsta\.exe#$stage_relative#" \
        -e "s#^sources *=.*#sources = $out/files#" \
        "$samples/ortavel.layout" >"$layout"
fi
"$mkdisks" "$layout" "$disks" --installer "$installer" --licence "$samples/licencia.txt"
