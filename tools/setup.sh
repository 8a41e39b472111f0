#!/usr/bin/env bash
# Installs what building and testing the launcher needs on a Debian 12 machine, then builds the
# two third-party libraries (JsonCpp, GoogleTest stays source-built by CMake) for each Windows
# target. Safe to run again: every step checks first.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deps="${DEPS_DIR:-$here/build/deps}"

need_pkgs=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb xdotool x11-utils
           imagemagick fonts-wqy-zenhei xauth locales cmake ninja-build googletest
           python3 python3-pil curl dpkg-dev)
missing=()
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# deb-src is needed once to fetch JsonCpp's source package for the cross build.
if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null; then
  cat > /etc/apt/sources.list.d/launcher-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  updated=0
else
  updated=1
fi
if [ ${#missing[@]} -gt 0 ] || [ "$updated" = 0 ]; then
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Code page 936 under Wine comes from the zh_CN locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# JsonCpp for each target, from Debian's source package.
for arch in x86_64 i686; do
  prefix="$deps/$arch"
  [ -f "$prefix/lib/cmake/jsoncpp/jsoncppConfig.cmake" ] && continue
  src="$deps/src"
  mkdir -p "$src"
  if ! ls -d "$src"/libjsoncpp-*/ >/dev/null 2>&1; then
    (cd "$src" && apt-get source -qq --download-only libjsoncpp >/dev/null 2>&1 &&
      dpkg-source -x --no-check libjsoncpp_*.dsc >/dev/null)
  fi
  jdir=$(ls -d "$src"/libjsoncpp-*/ | head -n 1)
  cmake -S "$jdir" -B "$deps/build-jsoncpp-$arch" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
    -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
    -DBUILD_OBJECT_LIBS=OFF >/dev/null
  cmake --build "$deps/build-jsoncpp-$arch" --target install >/dev/null
done
echo "setup: ready ($deps)"
