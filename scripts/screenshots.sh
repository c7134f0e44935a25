#!/bin/sh
# Remakes the README's pictures (docs/screens) from real runs under Xvfb,
# and four of them again at 144 DPI (150 %), named *-144dpi.png.
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
scripts/with-display.sh tests/e2e/signed_test.sh

large=$(mktemp -d)
trap 'rm -rf "$large"' EXIT
for scenario in billboards startup tour; do
    E2E_DPI=144 SCREENS_DIR="$large" scripts/with-display.sh tests/e2e/${scenario}_test.sh
done
for shot in main-window page-104-folder page-127-editors error-full; do
    cp "$large/$shot.png" "$SCREENS_DIR/$shot-144dpi.png"
done
ls "$SCREENS_DIR"
