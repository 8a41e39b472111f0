#!/usr/bin/env bash
# Start-up figures under Wine: time from process start until the launcher's main window shows its
# painted face, against a bare program that shows one empty layered window, in the same run
# (alternating starts), and the private memory of each. Prints figures; not a test.
#   tools/bench-startup.sh [runs]      (default 7)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build="$here/build/x86_64"
bench="$build/bench-startup"   # its own Wine prefix and display
runs=${1:-7}

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$here/build/deps/x86_64" >/dev/null
cmake --build "$build" -j "$(nproc)" --target startup_bench bare_layered_window BrimlowLogin

mkdir -p "$bench"
trap '"$here/tests/harness/wine-env.sh" stop "$bench" >/dev/null 2>&1 || true' EXIT
"$here/tests/harness/wine-env.sh" start "$bench"
echo "bench: $runs alternating starts of each (Wine $(wine --version 2>/dev/null | head -n 1))"
"$here/tests/harness/wine-env.sh" run "$bench" "$build/tests/app_bench/startup_bench.exe" "$runs"
