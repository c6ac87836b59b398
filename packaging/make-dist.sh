#!/usr/bin/env bash
# make-dist.sh DIST_DIR TREE...: the release as it is published, from configured and built
# plug-in trees: each tree's CPack packages, the Windows installer when both a win32 and a win64
# tree are given, one archive of the plug-ins' debug symbols and SHA256SUMS over every file.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: make-dist.sh DIST_DIR TREE..." >&2
  exit 2
fi
dist=$1
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
symbols=$(mktemp -d)
trap 'rm -rf "$symbols"' EXIT

# cpack_setting TREE NAME: a value of the tree's CPack configuration.
cpack_setting() {
  sed -n "s/^set($2 \"\(.*\)\")\$/\1/p" "$1/CPackConfig.cmake"
}

rm -rf "$dist"
mkdir -p "$dist"
version=""
declare -A trees
for tree in "$@"; do
  if [ ! -f "$tree/CPackConfig.cmake" ]; then
    echo "make-dist.sh: $tree is not a configured plug-in tree" >&2
    exit 1
  fi
  tree_version=$(cpack_setting "$tree" CPACK_PACKAGE_VERSION)
  if [ -n "$version" ] && [ "$tree_version" != "$version" ]; then
    echo "make-dist.sh: $tree is version $tree_version, not $version" >&2
    exit 1
  fi
  version=$tree_version
  platform=$(cpack_setting "$tree" CPACK_PACKAGE_FILE_NAME)
  platform=${platform#Dranvelor-"$version"-}
  trees[$platform]=$tree

  rm -rf "$tree/packages"
  cpack --config "$tree/CPackConfig.cmake" -B "$tree/packages" >"$tree/cpack.log" 2>&1 ||
    { tail -n 30 "$tree/cpack.log" >&2; exit 1; }
  find "$tree/packages" -maxdepth 1 -type f \( -name '*.zip' -o -name '*.tar.gz' -o -name '*.deb' \) \
    -exec cp {} "$dist/" \;
  mkdir -p "$symbols/Dranvelor-$version-debug-symbols/$platform"
  cp "$tree"/packaging/stripped/*.debug "$symbols/Dranvelor-$version-debug-symbols/$platform/"
  if [ -d "$tree/packaging/stripped/Dranvelor.lv2-symbols" ]; then
    cp -r "$tree/packaging/stripped/Dranvelor.lv2-symbols" \
      "$symbols/Dranvelor-$version-debug-symbols/$platform/Dranvelor.lv2"
  fi
done

if [ -n "${trees[win32]:-}" ] && [ -n "${trees[win64]:-}" ]; then
  # The standalone program goes in when both trees built it.
  programs=("${trees[win32]}/packaging/stripped/Dranvelor.exe" "${trees[win64]}/packaging/stripped/Dranvelor.exe")
  [ -f "${programs[0]}" ] && [ -f "${programs[1]}" ] || programs=()
  bash "$here/make-installer.sh" "$dist/Dranvelor-$version-setup.exe" "$version" \
    "${trees[win32]}/packaging/stripped/Dranvelor.dll" "${trees[win64]}/packaging/stripped/Dranvelor.dll" \
    "${trees[win64]}/packaging/README.txt" "${trees[win64]}/packaging/LICENSE.txt" "${programs[@]}"
fi

# Fixed order, dates and owners, and no name or date in the gzip header: the same symbols
# always make the same archive.
tar --sort=name --mtime=@0 --owner=0 --group=0 --numeric-owner -C "$symbols" \
  -cf - "Dranvelor-$version-debug-symbols" | gzip -9n >"$dist/Dranvelor-$version-debug-symbols.tar.gz"

cd "$dist"
files=(*)
sha256sum -- "${files[@]}" >SHA256SUMS
