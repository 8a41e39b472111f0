#!/usr/bin/env bash
# Installs what is missing, builds both Windows targets, and runs every test under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
tools/setup.sh
jobs=$(nproc)
cmake -S . -B build/i686 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$here/build/deps/i686" -DLAUNCHER_BUILD_TESTS=OFF >/dev/null
cmake --build build/i686 -j "$jobs"
cmake -S . -B build/x86_64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$here/build/deps/x86_64" \
  -DLAUNCHER_I686_EXE="$here/build/i686/BrimlowLogin.exe" >/dev/null
cmake --build build/x86_64 -j "$jobs"
cd build/x86_64
ctest --output-on-failure "$@"
