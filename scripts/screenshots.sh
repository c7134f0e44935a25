#!/bin/sh
# Remakes the README's pictures (docs/screens) from real runs under Xvfb.
set -e
cd "$(dirname "$0")/.."
cmake --build --preset win64 -j2
export SCREENS_DIR="$PWD/docs/screens"
scripts/with-display.sh tests/e2e/startup_test.sh
scripts/with-display.sh tests/e2e/billboards_test.sh
scripts/with-display.sh tests/e2e/tour_test.sh
scripts/with-display.sh tests/e2e/editors_test.sh
scripts/with-display.sh tests/e2e/locked_file_test.sh
scripts/with-display.sh tests/e2e/bad_disks_test.sh
scripts/with-display.sh tests/e2e/uninstall_test.sh
ls "$SCREENS_DIR"
