#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, quietly and idempotently.
# Stops with a non-zero exit naming the package when something cannot be installed.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  build-essential cmake ninja-build pkg-config dpkg-dev clang-format
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
  wine wine64 wine32:i386
  xvfb xdotool imagemagick x11-apps x11-xserver-utils
  libpng-dev zlib1g-dev libsndfile1-dev libcairo2-dev fonts-liberation sox
  libx11-dev libxres-dev fontconfig
  file lintian python3-numpy python3-matplotlib python3-pil nsis
  clang libclang-rt-14-dev
  lv2-dev liblilv-dev lilv-utils sordi jalv jackd2 x11-utils
  portaudio19-dev jack-tools desktop-file-utils
)

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

# Source packages (libpng1.6, libsndfile) come from the machine's own mirrors.
SRC_LIST=/etc/apt/sources.list.d/dranvelor-deb-src.sources
if [ ! -f "$SRC_LIST" ]; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$SRC_LIST" >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' | $SUDO tee /etc/apt/sources.list.d/dranvelor-deb-src.list >/dev/null
    $SUDO touch "$SRC_LIST"
  fi
  need_update=1
fi

mapfile -t missing < <(missing_packages)
if [ "${#missing[@]}" -gt 0 ] || [ "$need_update" -eq 1 ]; then
  echo "setup: installing ${missing[*]:-source indexes}"
  $SUDO apt-get update -qq >/dev/null
fi
if [ "${#missing[@]}" -gt 0 ]; then
  if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/tmp/dranvelor-apt.log 2>&1; then
    tail -n 20 /tmp/dranvelor-apt.log >&2
    for p in "${missing[@]}"; do
      apt-cache policy "$p" 2>/dev/null | grep -q 'Candidate: [0-9]' || echo "setup: package cannot be installed: $p" >&2
    done
    echo "setup: apt-get install failed" >&2
    exit 1
  fi
  mapfile -t still < <(missing_packages)
  if [ "${#still[@]}" -gt 0 ]; then
    echo "setup: packages still missing: ${still[*]}" >&2
    exit 1
  fi
fi
