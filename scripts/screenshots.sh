#!/bin/sh
# Remakes the README's screenshots from real runs of install.exe under Xvfb.
set -e
cd "$(dirname "$0")/.."
cmake --build --preset win64 -j2
scripts/with-display.sh tests/e2e/startup_test.sh
mkdir -p docs/screenshots
cp build/screenshots/*.png docs/screenshots/
ls docs/screenshots
