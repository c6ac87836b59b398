#!/usr/bin/env bash
# install_test.sh INSTALLER PLUGIN: the installer in a scratch HOME (a Linux plug-in, the LV2
# bundle or the standalone program, which has its desktop entry and icons beside it) or a
# scratch Wine prefix (a Windows DLL): files land where hosts (or desktops) look, a second
# install changes nothing, a different file is never replaced without --force, uninstall leaves
# nothing behind.
set -uo pipefail
installer=$1
plugin=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"

# run EXPECTED_STATUS PATTERN ARGS...: the installer exits so and says something matching.
run() {
  local expected=$1 pattern=$2 status
  shift 2
  output=$(bash "$installer" "$@" 2>&1)
  status=$?
  [ "$status" -eq "$expected" ] && grep -q -- "$pattern" <<<"$output" ||
    { echo "  exit $status, said: $output"; return 1; }
}

# The same plug-in file, or the same bundle.
same() {
  if [ -d "$1" ]; then diff -rq "$1" "$2" >/dev/null; else cmp -s "$1" "$2"; fi
}

snapshot() {
  (cd "$1" && find . -printf '%p %s %m\n' | sort && find . -type f -exec sha256sum {} + | sort)
}

export HOME="$scratch/home"
unset VST_PATH LXVST_PATH LV2_PATH
mkdir -p "$HOME"
name=$(basename "$plugin")
# What a plug-in file of the name, or a file in it, holds.
content="$plugin"
not_a_plugin="not a plug-in"
# What the unwritable-folder case copies beside the installer.
companions=("$plugin")
if [ "$name" = dranvelor ]; then
  root=$HOME
  target=(--program)
  folder="$HOME/.local/bin"
  not_a_plugin="not a program"
  companions+=("$(dirname "$plugin")/dranvelor.desktop" "$(dirname "$plugin")/icons")
  check "a program is not for Wine" run 2 "neither with --lv2 nor into Wine" install --program --wine "$HOME" "$plugin"
  check "a library is no program" run 1 "not a program" install --program "$(ldd /bin/sh | awk '/libc\.so/ {sub(/libc/, "libm", $3); print $3}')"
  mkdir -p "$scratch/bare" && cp "$plugin" "$scratch/bare/"
  check "a program without its desktop entry is refused" run 1 "no dranvelor.desktop" install --program "$scratch/bare/dranvelor"
elif [ -d "$plugin" ]; then
  root=$HOME
  target=(--lv2)
  folder="$HOME/.lv2"
  content="$plugin/manifest.ttl"
  not_a_plugin="not an LV2 bundle"
  check "a bundle is not for Wine" run 2 "not into Wine" install --wine "$HOME" "$plugin"
  mkdir -p "$scratch/Other.lv2" && cp "$plugin/manifest.ttl" "$scratch/Other.lv2/"
  check "a bundle without the library is refused" run 1 "not the Dranvelor bundle" install "$scratch/Other.lv2"
elif [[ "$name" == *.dll ]]; then
  root="$scratch/prefix"
  mkdir -p "$root/drive_c/windows"
  target=(--wine "$root")
  folder="$root/drive_c/Program Files/Common Files/VST2"
  check "a folder without drive_c is no Wine prefix" run 1 "not a Wine prefix" install --wine "$HOME" "$plugin"
  check "a Linux library is refused for Wine" run 1 "Linux library" install --wine "$root" /bin/true
else
  root=$HOME
  target=()
  folder="$HOME/.vst"
  printf 'MZ' >"$scratch/other.dll"
  check "a Windows DLL is sent to --wine" run 1 "Windows DLL.*--wine" install "$scratch/other.dll"
fi
before=$(snapshot "$root")

check "install" run 0 "installed" install "${target[@]}" "$plugin"
check "the plug-in lands where hosts look, unchanged" same "$plugin" "$folder/$name"
if [ "$name" = dranvelor ]; then
  entry="$HOME/.local/share/applications/dranvelor.desktop"
  check "its desktop entry starts the installed program and is valid" \
    bash -c 'grep -qxF "Exec=\"$1\"" "$2" && desktop-file-validate "$2"' _ "$folder/$name" "$entry"
  check "its icons are in the user's hicolor theme, unchanged" \
    diff -r "$(dirname "$plugin")/icons/hicolor" "$HOME/.local/share/icons/hicolor"
fi
installed=$(snapshot "$root")
check "a second install is idempotent" run 0 "already installed" install "${target[@]}" "$plugin"
check "and changes nothing" test "$(snapshot "$root")" = "$installed"
check "uninstall" run 0 "removed" uninstall "${target[@]}"
check "uninstall leaves nothing behind" test "$(snapshot "$root")" = "$before"
check "a second uninstall has nothing to do" run 1 "nothing to uninstall" uninstall "${target[@]}"

# A plug-in of the same name that is not this one, in a folder the user made.
mkdir -p "$folder"
if [ -d "$plugin" ]; then
  mkdir "$folder/$name" && head -c 100 "$content" >"$folder/$name/manifest.ttl"
else
  head -c 4096 "$plugin" >"$folder/$name"
fi
before=$(snapshot "$root")
check "a different file is refused" run 1 "different file.*--force" install "${target[@]}" "$plugin"
check "and left alone" test "$(snapshot "$root")" = "$before"
check "--force replaces it" run 0 "installed" install --force "${target[@]}" "$plugin"
check "with the plug-in" same "$plugin" "$folder/$name"
echo changed >>"$folder/${content#"$(dirname "$plugin")"/}"
check "uninstall keeps a plug-in changed since" run 1 "changed since" uninstall "${target[@]}"
check "uninstall --force removes it, and keeps the user's folder" run 0 "removed" uninstall --force "${target[@]}"
if [ -d "$plugin" ]; then
  check "the folder holds only the bundle's folder the user made" \
    test "$(ls -A "$folder")" = "$name" -a -z "$(ls -A "$folder/$name")"
else
  check "the folder is empty" test -z "$(ls -A "$folder")"
fi
rm -rf "$folder"

check "a missing file is named" run 1 "not found: $scratch/none.so" install "${target[@]}" "$scratch/none.so"
echo "not a library" >"$scratch/$name"
check "a file that is no library is refused" run 1 "$not_a_plugin" install "${target[@]}" "$scratch/$name"
check "usage errors exit 2" run 2 "unknown option" install --frobnicate

# A folder the user may not write to; root writes anywhere, so it runs as nobody then.
locked="$scratch/locked"
mkdir -p "$locked/drive_c"
cp -r "$installer" "${companions[@]}" "$locked/"
chmod 755 "$scratch"
chmod 555 "$locked/drive_c" "$locked"
as_user=()
[ "$(id -u)" -ne 0 ] || as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
locked_target=("${target[@]}")
[ "${target[0]:-}" != --wine ] || locked_target=(--wine "$locked")
check "an unwritable folder is refused, once" bash -c '"$@" 2>&1 | grep -cx ".*: cannot write to $0.* (permission denied)" | grep -qx 1' \
  "$locked" env HOME="$locked" "${as_user[@]}" bash "$locked/$(basename "$installer")" install \
  "${locked_target[@]}" "$locked/$name"
chmod 755 "$locked"

if [ -d "$plugin" ]; then
  export LV2_PATH="$scratch/lv2/deep:/usr/lib/lv2"
  check "install follows LV2_PATH" run 0 "$scratch/lv2/deep/$name" install "$plugin"
  check "uninstall removes the folders it made" run 0 "removed" uninstall --lv2
  check "all of them" test ! -e "$scratch/lv2"
elif [ -z "${target[*]}" ]; then
  mkdir -p "$scratch/vst"
  export LXVST_PATH="$scratch/lxvst/deep:$scratch/vst" VST_PATH="$scratch/vst"
  check "install follows LXVST_PATH" run 0 "$scratch/lxvst/deep/$name" install "$plugin"
  check "uninstall removes the folders it made" run 0 "removed" uninstall
  check "all of them" test ! -e "$scratch/lxvst"
  export LXVST_PATH=""
  check "install follows VST_PATH" run 0 "$scratch/vst/$name" install "$plugin"
  check "uninstall there" run 0 "removed" uninstall
  check "the user's folder stays" test -d "$scratch/vst"
fi

[ "$failures" -eq 0 ]
