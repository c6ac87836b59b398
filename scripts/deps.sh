#!/usr/bin/env bash
# Builds the third-party libraries the Windows targets need, from Debian's source packages,
# into build/deps/<triplet>. Each library is built once per build tree (stamp files).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="$root/build/deps"
src="$deps/src"
mkdir -p "$src"

# Fetches a source package into $src/<package>, trying each version the mirrors list
# (a security update's files may already be gone from a snapshot mirror).
fetch_source() {
  local package=$1 version
  if [ -f "$src/$package/.fetched" ]; then return 0; fi
  rm -rf "$src/$package.tmp" && mkdir -p "$src/$package.tmp"
  for version in $(apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' | sort -rV | uniq); do
    if (cd "$src/$package.tmp" && apt-get source -qq "$package=$version" >/dev/null 2>&1); then
      rm -rf "$src/$package"
      mv "$(find "$src/$package.tmp" -mindepth 1 -maxdepth 1 -type d | head -n 1)" "$src/$package"
      rm -rf "$src/$package.tmp"
      touch "$src/$package/.fetched"
      return 0
    fi
  done
  echo "deps: cannot fetch the source package $package" >&2
  return 1
}

# build_library <package> <triplet> <cmake options...>
build_library() {
  local package=$1 triplet=$2 arch
  shift 2
  local prefix="$deps/$triplet" stamp="$deps/$triplet/.built-$package"
  [ -f "$stamp" ] && return 0
  fetch_source "$package"
  arch=${triplet%%-*}
  echo "deps: building $package for $triplet"
  local work="$deps/build/$triplet/$package"
  rm -rf "$work" && mkdir -p "$work" "$prefix"
  if ! { cmake -S "$src/$package" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$arch.cmake" \
           -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
           -DBUILD_SHARED_LIBS=OFF "$@" &&
         cmake --build "$work" &&
         cmake --install "$work"; } >"$work.log" 2>&1; then
    tail -n 30 "$work.log" >&2
    echo "deps: building $package for $triplet failed (log: $work.log)" >&2
    return 1
  fi
  touch "$stamp"
}

# PortAudio 19.6's CMake file keeps WASAPI to Visual Studio, builds for Windows XP (whose headers
# lack WASAPI's interfaces) and installs only the DLL; the
# standalone program links the static library with every Windows host API but ASIO (whose SDK is
# not free to fetch). DirectSound is loaded at run time, so it needs no SDK either.
prepare_portaudio() {
  fetch_source portaudio19
  local lists="$src/portaudio19/CMakeLists.txt"
  grep -q 'dranvelor' "$lists" && return 0
  sed -i -e 's|^\( *\)SET(PA_USE_WASAPI OFF)|\1OPTION(PA_USE_WASAPI "Enable support for WASAPI" ON) # dranvelor|' \
    -e 's|INSTALL(TARGETS portaudio DESTINATION lib)|INSTALL(TARGETS portaudio_static DESTINATION lib) # dranvelor|' \
    -e 's|_WIN32_WINNT=0x0501 WINVER=0x0501|_WIN32_WINNT=0x0601 WINVER=0x0601|' \
    -e 's|^\( *\)SET(PA_PRIVATE_INCLUDE_PATHS ${PA_PRIVATE_INCLUDE_PATHS} src/hostapi/wasapi/mingw-include)|\1# dranvelor: MinGW-w64 has these headers|' \
    "$lists"
  # The WASAPI source takes the system's headers only from Visual Studio; MinGW-w64 has them.
  sed -i -e '0,/^#if defined(_MSC_VER) && (_MSC_VER >= 1400)$/s//#if (defined(_MSC_VER) \&\& (_MSC_VER >= 1400)) || defined(__MINGW32__)/' \
    -e 's|<Avrt.h>|<avrt.h>|; s|<Audioclient.h>|<audioclient.h>|; s|<functiondiscoverykeys.h>|<functiondiscoverykeys_devpkey.h>|' \
    "$src/portaudio19/src/hostapi/wasapi/pa_win_wasapi.c"
}
prepare_portaudio

for triplet in i686-w64-mingw32 x86_64-w64-mingw32; do
  build_library libpng1.6 "$triplet" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON
  build_library libsndfile "$triplet" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
    -DBUILD_TESTING=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF \
    -DBUILD_REGTEST=OFF
  build_library benchmark "$triplet" -DBENCHMARK_ENABLE_TESTING=OFF \
    -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_INSTALL=ON \
    -DGIT_VERSION=1.7.1
  build_library portaudio19 "$triplet" -DPA_USE_ASIO=OFF -DPA_USE_WASAPI=ON -DPA_USE_WDMKS=ON \
    -DPA_USE_DS=ON -DDXSDK_INCLUDE_DIR="/usr/$triplet/include" -DPA_USE_WMME=ON \
    -DPA_USE_DIRECTSOUNDFULLDUPLEXCREATE=OFF -DPA_UNICODE_BUILD=ON
done
