#!/usr/bin/env bash
# check_packages.sh CPACK_CONFIG SHIPPED WORK_DIR [VSTHOST [PROGRAM]]: makes the tree's release
# packages and checks them as a user and as dpkg meet them. SHIPPED is the tree's stripped
# plug-in, PROGRAM its stripped standalone program when it has one, each with its debug file
# beside it. A Windows tree makes a zip that must carry exactly those; the Linux tree a tar.gz
# likewise, with the program's desktop entry and icons, and a Debian package that installs the
# plug-in into /usr/lib/vst and the program into /usr/bin, depends on what they link and passes
# lintian without errors (its warnings are shown).
set -uo pipefail
config=$1
plugin=$2
work=$3
vsthost=${4:-}
program=${5:-}
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/check.sh"

rm -rf "$work"
mkdir -p "$work"
cpack --config "$config" -B "$work/dist" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$config")
name=$(basename "$plugin")
# The Linux tree's LV2 bundle as it ships, when it has one.
bundle="$(dirname "$plugin")/Dranvelor.lv2"
[ -d "$bundle" ] || bundle=""

# The archive: one folder holding the plug-in as built, the user's README and the licence.
archive=$(find "$work/dist" -maxdepth 1 -name "Dranvelor-$version-*.zip" -o -maxdepth 1 -name "Dranvelor-$version-linux-x86_64.tar.gz")
check "one archive named with the version" test "$(wc -w <<<"$archive")" -eq 1
mkdir -p "$work/archive"
(cd "$work/archive" && cmake -E tar xf "$archive")
top=$(find "$work/archive" -mindepth 1 -maxdepth 1)
check "the archive's plug-in is byte-identical to the stripped one" cmp "$plugin" "$top/$name"
check "the stripped plug-in and its debug file belong together" bash "$here/check_symbols.sh" "$plugin" "$plugin.debug"
check "the README names the version and every control" \
  bash -c 'grep -q "Dranvelor '"$version"'" "$1" && grep -c "^  \(Drive\|Tone\|Level\|Bypass\) " "$1" | grep -qx 4' _ "$top/README.txt"
check "the licence is there" grep -q "All rights reserved" "$top/LICENSE.txt"
[ -z "$bundle" ] || check "the archive's LV2 bundle is the stripped one" diff -r "$bundle" "$top/Dranvelor.lv2"
if [ -n "$program" ]; then
  check "the archive's program is byte-identical to the stripped one" cmp "$program" "$top/$(basename "$program")"
  check "the stripped program and its debug file belong together" \
    bash "$here/check_symbols.sh" "$program" "$program.debug" main main.cpp
  # Among the resource types and their counts: the icon's five images and the group naming them.
  resources=$(x86_64-w64-mingw32-objdump -p "$program" 2>/dev/null | awk '/The .rsrc Resource Directory/ {on = 1}
    on && /^[0-9a-f]+   Entry: ID: / {type = $4}
    on && /^[0-9a-f]+    Name Table:/ {print type, $NF}')
  [[ "$name" != *.dll ]] || check "the program carries its icon" \
    bash -c 'grep -qx "0x000003, 5" <<<"$1" && grep -qx "0x00000e, 1" <<<"$1"' _ "$resources"
fi

# desktop_files ROOT: the program's desktop entry is valid and names the icon that ROOT's
# hicolor theme holds at every size, each a PNG of that size showing the knob: about half of it
# covered, the corners clear, the middle opaque and red.
desktop_files() {
  local root=$1 size
  desktop-file-validate "$root/applications/dranvelor.desktop" || return 1
  grep -qx "Icon=dranvelor" "$root/applications/dranvelor.desktop" || return 1
  for size in 48 128 256; do
    convert "$root/icons/hicolor/${size}x$size/apps/dranvelor.png" -format \
      '%w %h %[fx:mean.a > 0.3 && mean.a < 0.7] %[fx:p{0,0}.a == 0] %[fx:p{w/2,h/2}.a == 1 && p{w/2,h/2}.r > 2 * p{w/2,h/2}.g]' \
      info: | grep -qx "$size $size 1 1 1" || return 1
  done
}

deb="$work/dist/dranvelor_${version}_amd64.deb"
if [[ "$name" == *.so ]]; then
  check "the installer is there and executable" test -x "$top/install.sh"
  if [ -n "$program" ]; then
    mkdir -p "$work/archive-share/applications"
    cp "$top/dranvelor.desktop" "$work/archive-share/applications/"
    cp -r "$top/icons" "$work/archive-share/"
    archive_program() { test -x "$top/dranvelor" && desktop_files "$work/archive-share"; }
    check "the archive's program is executable, its desktop entry valid, its icons there" archive_program
  fi
  check "the Debian package is named dranvelor_${version}_amd64.deb" test -f "$deb"
  check "it holds the plug-in in /usr/lib/vst and the papers Debian wants" \
    bash -c 'dpkg-deb -c "$1" | awk "{print \$6}" | grep -x -e ./usr/lib/vst/Dranvelor.so \
      -e ./usr/share/doc/dranvelor/copyright -e ./usr/share/doc/dranvelor/changelog.gz | wc -l | grep -qx 3' _ "$deb"
  [ -z "$program" ] || check "it holds the program in /usr/bin" \
    bash -c 'dpkg-deb -c "$1" | awk "{print \$1, \$6}" | grep -qx -- "-rwxr-xr-x ./usr/bin/dranvelor"' _ "$deb"

  # Every library the plug-in links must come from a package the Depends line names.
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  for needed in $(for library in "$plugin" ${bundle:+"$bundle"/*.so} ${program:+"$program"}; do
                    objdump -p "$library" | awk '$1 == "NEEDED" {print $2}'
                  done | sort -u); do
    # ldd names the dynamic loader by its path rather than as "name => path".
    path=$(ldd "$plugin" ${bundle:+"$bundle"/*.so} ${program:+"$program"} | awk -v n="$needed" '$1 == n {print $3; exit}
                                                  $1 ~ ("/" n "$") {print $1; exit}')
    owner=$(dpkg -S "$(realpath "$path")" 2>/dev/null || dpkg -S "$path" 2>/dev/null)
    owner=${owner%%:*}
    check "Depends covers $needed (package ${owner:-unknown})" \
      grep -qxF -- "${owner:-unknown}" < <(tr ',' '\n' <<<"$depends" | awk '{print $1}')
  done

  # Installed by dpkg into an empty root: the plug-in loads from there, and purging it
  # leaves nothing. Maintainer scripts run outside the root, with a stand-in ldconfig.
  inst="$work/root"
  mkdir -p "$inst/var/lib/dpkg/updates" "$inst/var/lib/dpkg/info" "$work/bin"
  touch "$inst/var/lib/dpkg/status"
  printf '#!/bin/sh\n' >"$work/bin/ldconfig"
  chmod +x "$work/bin/ldconfig"
  export PATH="$work/bin:$PATH"
  quietly() { "$@" >>"$work/commands.log" 2>&1 || { tail -n 20 "$work/commands.log"; return 1; }; }
  dpkg_root=(dpkg --root="$inst" --force-not-root --force-depends --force-script-chrootless
    --log=/dev/null)
  check "dpkg installs it" quietly "${dpkg_root[@]}" -i "$deb"
  check "the installed plug-in is the stripped one" cmp "$plugin" "$inst/usr/lib/vst/Dranvelor.so"
  check "the installed plug-in loads" quietly "$vsthost" info "$inst/usr/lib/vst/Dranvelor.so"
  if [ -n "$bundle" ]; then
    check "the installed LV2 bundle holds what the stripped one does" \
      test "$(cd "$inst/usr/lib/lv2/Dranvelor.lv2" && ls)" = "$(cd "$bundle" && ls)"
    sox -n -r 44100 -c 1 -e floating-point -b 32 "$work/silence.wav" trim 0 0.1
    check "the installed LV2 plug-in runs" quietly env LV2_PATH="$inst/usr/lib/lv2" \
      lv2apply -i "$work/silence.wav" -o "$work/silence-out.wav" urn:ostravelk:dranvelor
  fi
  if [ -n "$program" ]; then
    check "the installed program is the stripped one" cmp "$program" "$inst/usr/bin/dranvelor"
    check "the installed program starts" quietly "$inst/usr/bin/dranvelor" --help
    check "its desktop entry is valid, its icons in the hicolor theme" desktop_files "$inst/usr/share"
  fi
  check "dpkg purges it" quietly "${dpkg_root[@]}" --purge dranvelor
  check "nothing is left under /usr" test -z "$(find "$inst/usr" -type f 2>/dev/null)"

  lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1
  status=$?
  sed 's/^/lintian: /' "$work/lintian.log"
  check "lintian finds no error" test "$status" -eq 0
fi

[ "$failures" -eq 0 ]
