#!/bin/sh
# Builds the benchmarks optimised and without sanitizers in build/bench and
# runs them; each prints its own figures and a ratio measured in the run.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build="$here/../build/bench"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 >/dev/null
"$build/crc_bench"
echo
"$build/extract_bench"
echo
# The profile reader runs against the platform's profile calls: under Wine.
root="$here/.."
cmake --preset win64 -S "$root" >/dev/null 2>&1 || (cd "$root" && cmake --preset win64 >/dev/null)
cmake --build "$root/build/win64" -j2 --target profile_read_bench >/dev/null
"$root/scripts/winerun.sh" "$root/build/win64/bench/profile_read_bench.exe"
echo
echo "Installation speed against other installers: bench/install_bench.sh"
