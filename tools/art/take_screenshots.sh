#!/usr/bin/env bash
# Photographs the painted face and the exit confirmation over it under the test harness's Xvfb,
# into docs/screenshots/. Needs a built x86_64 tree (default build/x86_64) with the skin tests.
#   tools/art/take_screenshots.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build/x86_64}" && pwd)
out="$here/docs/screenshots"
mkdir -p "$out"
env_sh="$here/tests/harness/wine-env.sh"
"$env_sh" start "$build"
display=$(cat "$build/wine-env/display" 2>/dev/null || echo "${DISPLAY:?no display}")
log=$(mktemp)
SKIN_SCREENSHOT_HOLD_MS=4000 "$env_sh" run "$build" "$build/tests/skin_confirm/skin_confirm.exe" \
  --gtest_filter='*HoldForScreenshot*' >"$log" 2>&1 &
runner=$!
tmp=$(mktemp -d)
sleep 4
DISPLAY=$display import -window root "$tmp/face.png"
sleep 4.5
DISPLAY=$display import -window root "$tmp/dialog.png"
wait "$runner" || { cat "$log"; exit 1; }
# The face window is centred on the 1600 x 900 screen; the dialog over its middle.
convert "$tmp/face.png" -crop 1334x725+133+88 +repage "$out/face-painted.png"
convert "$tmp/dialog.png" -crop 560x300+520+300 +repage "$out/confirm-dialog.png"
rm -rf "$tmp" "$log"
echo "screenshots in $out"
