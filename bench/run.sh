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
