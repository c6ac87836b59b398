#!/usr/bin/env bash
# check_installer.sh WIN32_TREE WIN64_TREE WORK_DIR: makes the release from both Windows trees
# and runs its installer under Wine as an administrator would, silently, in fresh prefixes: a
# 64-bit one as it comes, a 64-bit one whose hosts name their plug-in folders in the registry,
# and a 32-bit one. When the trees built the standalone program, the installer carries it and
# the checks cover it too. Window programs need a display; without one the script makes its own.
set -uo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
win32=$(realpath "$1")
win64=$(realpath "$2")
work=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
packaging=$here/../../packaging
source "$here/check.sh"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

for tree in "$win32" "$win64"; do
  [ -f "$tree/packaging/stripped/Dranvelor.dll" ] ||
    { echo "check_installer.sh: build $tree first (no stripped Dranvelor.dll)" >&2; exit 1; }
done
rm -rf "$work"
mkdir -p "$work"
log=$work/commands.log
quietly() { "$@" >>"$log" 2>&1 || { tail -n 20 "$log"; return 1; }; }

echo "== the release"
quietly bash "$packaging/make-dist.sh" "$work/dist" "$win32" "$win64" || exit 1
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$win64/CPackConfig.cmake")
setup=$work/dist/Dranvelor-$version-setup.exe
dll32=$win32/packaging/stripped/Dranvelor.dll
dll64=$win64/packaging/stripped/Dranvelor.dll
papers=("$win64/packaging/README.txt" "$win64/packaging/LICENSE.txt")
exe32=$win32/packaging/stripped/Dranvelor.exe
exe64=$win64/packaging/stripped/Dranvelor.exe
programs=("$exe32" "$exe64")
[ -f "$exe32" ] && [ -f "$exe64" ] || programs=()
echo "the standalone program: ${programs[*]:-none}"
check "SHA256SUMS covers every other file and verifies" \
  bash -c 'cd "$1" && test "$(wc -l <SHA256SUMS)" -eq "$(($(ls | wc -l) - 1))" && sha256sum -c --quiet SHA256SUMS' _ "$work/dist"
quietly bash "$packaging/make-installer.sh" "$work/again.exe" "$version" "$dll32" "$dll64" "${papers[@]}" "${programs[@]}"
check "a second build of the installer has the same SHA-256" cmp "$setup" "$work/again.exe"
mkdir -p "$work/symbols"
tar -xzf "$work/dist/Dranvelor-$version-debug-symbols.tar.gz" -C "$work/symbols"
for platform in win32 win64; do
  shipped=$dll32
  [ "$platform" = win64 ] && shipped=$dll64
  check "the symbol archive's $platform file belongs to the shipped DLL" quietly bash "$here/check_symbols.sh" \
    "$shipped" "$work/symbols/Dranvelor-$version-debug-symbols/$platform/Dranvelor.dll.debug"
  [ "${#programs[@]}" -eq 0 ] || check "the symbol archive's $platform file belongs to the shipped program" \
    quietly bash "$here/check_symbols.sh" "$(dirname "$shipped")/Dranvelor.exe" \
    "$work/symbols/Dranvelor-$version-debug-symbols/$platform/Dranvelor.exe.debug" main main.cpp
done

# A newer build: the next version, its binaries told apart from the current ones by a trailing
# marker, which Windows ignores when it loads them.
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
mkdir -p "$work/newer32" "$work/newer64"
newer_programs=()
for bits in 32 64; do
  tree=win$bits
  for binary in "${!tree}/packaging/stripped/Dranvelor.dll" \
    ${programs[0]:+"${!tree}/packaging/stripped/Dranvelor.exe"}; do
    { cat "$binary"; echo "newer build"; } >"$work/newer$bits/$(basename "$binary")"
  done
  [ "${#programs[@]}" -eq 0 ] || newer_programs+=("$work/newer$bits/Dranvelor.exe")
done
quietly bash "$packaging/make-installer.sh" "$work/newer.exe" "$newer" "$work/newer32/Dranvelor.dll" \
  "$work/newer64/Dranvelor.dll" "${papers[@]}" "${newer_programs[@]}" || exit 1

# wine_in PREFIX PROGRAM ARGS...: runs a program and waits until the prefix's server has
# written the registry back. Output goes to the log, through a file (see scripts/wine-run.sh).
wine_in() {
  local prefix=$1 status
  shift
  WINEPREFIX=$prefix wine "$@" >>"$log" 2>&1 </dev/null
  status=$?
  WINEPREFIX=$prefix wineserver -w
  return $status
}

# A fresh prefix, restarted once so that what Wine changes on its first start is done.
make_prefix() {
  WINEPREFIX=$1 WINEARCH=$2 wineboot -i >>"$log" 2>&1 </dev/null
  wine_in "$1" wineboot -r
}

# reg_value PREFIX KEY NAME: a value of the machine's registry, as Wine stores it.
reg_value() {
  python3 - "$1/system.reg" "$2" "$3" <<'EOF'
import re, sys
path, key, name = sys.argv[1:]
inside = False
for line in open(path, encoding="utf-8", errors="replace"):
    if line.startswith("["):
        inside = line[1:line.index("]")].replace("\\\\", "\\").lower() == key.lower()
    elif inside and line.startswith('"' + name + '"='):
        value = line.split("=", 1)[1].strip()
        if value.startswith('"'):
            value = re.sub(r'\\(.)', r'\1', value[1:-1])
        print(value)
        sys.exit(0)
sys.exit(1)
EOF
}

# entries PREFIX: how many uninstall entries, in either registry view, are Dranvelor's.
entries() {
  python3 - "$1/system.reg" <<'EOF'
import sys
count, key = 0, ""
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    if line.startswith("["):
        key = line.replace("\\\\", "\\").lower()
    elif "\\currentversion\\uninstall\\" in key and line.strip() == '"DisplayName"="Dranvelor"':
        count += 1
print(count)
EOF
}

# Every file, folder and registry key of a prefix. The user's temporary folder is left out:
# an NSIS uninstaller runs from a copy there that Windows deletes when it restarts. So is the
# key of the network cards, which Wine makes and drops as it starts.
snapshot() {
  (cd "$1" && find drive_c -path 'drive_c/users/*/Temp' -prune -o -print | sort &&
    grep -h '^\[' system.reg user.reg | grep -v '\\NetworkCards\]' | sed 's/\] [0-9]*$/]/' | sort)
}

# installed PREFIX DLL32 DLL64 [EXE]: the two DLLs are installed, byte for byte, in the usual
# folders, and the program, when given, in the product's folder.
installed() {
  cmp "$2" "$1/$common_vst_x86/Dranvelor.dll" && cmp "$3" "$1/$common_vst/Dranvelor.dll" &&
    { [ -z "${4:-}" ] || cmp "$4" "$1/$product_folder/Dranvelor.exe"; }
}

# program_installed PREFIX EXE: the program is the given build, in the product's folder, and
# every user's Start menu has a "Dranvelor" shortcut to it.
program_installed() {
  local shortcut="$1/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dranvelor.lnk"
  cmp "$2" "$1/$product_folder/Dranvelor.exe" && test -f "$shortcut" &&
    grep -qaF 'C:\Program Files\Ostravelk\Dranvelor\Dranvelor.exe' "$shortcut"
}

uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Dranvelor'
product_key='Software\Ostravelk\Dranvelor'
program_files=drive_c/Program\ Files
common_vst=$program_files/Common\ Files/VST2
common_vst_x86=$program_files\ \(x86\)/Common\ Files/VST2
product_folder=$program_files/Ostravelk/Dranvelor

echo "== fresh prefixes"
make_prefix "$work/fresh64" win64 &
make_prefix "$work/wine32" win32 &
wait
cp -a "$work/fresh64" "$work/paths64"
snapshot "$work/fresh64" >"$work/before.txt"

echo "== a fresh 64-bit prefix"
p=$work/fresh64
check "the silent install succeeds" wine_in "$p" "$setup" /S
check "the shipped DLLs are in Program Files and Program Files (x86)" installed "$p" "$dll32" "$dll64"
program='C:\Program Files\Ostravelk\Dranvelor\Dranvelor.exe'
if [ "${#programs[@]}" -gt 0 ]; then
  check "the 64-bit program is in Program Files\\Ostravelk\\Dranvelor, with a Start-menu shortcut" \
    program_installed "$p" "$exe64"
  check "the installed program runs" wine_in "$p" "$program" --help
fi
check "the uninstaller, the README and the licence are in Program Files\\Ostravelk\\Dranvelor" \
  bash -c 'cd "$1" && test -f uninstall.exe -a -f README.txt -a -f LICENSE.txt' _ "$p/$program_files/Ostravelk/Dranvelor"
uninstaller='C:\Program Files\Ostravelk\Dranvelor\uninstall.exe'
entry=()
for name in DisplayName DisplayVersion Publisher UninstallString QuietUninstallString DisplayIcon; do
  entry+=("$name=$(reg_value "$p" "$uninstall_key" "$name")")
done
check "the uninstall entry has every value: ${entry[*]}" test "${entry[*]}" = "DisplayName=Dranvelor \
DisplayVersion=$version Publisher=Ostravelk UninstallString=\"$uninstaller\" \
QuietUninstallString=\"$uninstaller\" /S DisplayIcon=$uninstaller,0"
size=$(reg_value "$p" "$uninstall_key" EstimatedSize)
size=$((16#${size#dword:}))
dlls=$((($(stat -c %s "$dll32") + $(stat -c %s "$dll64") + ${programs[1]:+$(stat -c %s "$exe64")} + 0) / 1024))
check "its EstimatedSize, $size KB, is that of what it installed" test "$size" -ge "$dlls" -a "$size" -lt "$((dlls + 100))"
check "the 64-bit host loads the installed 64-bit DLL" \
  wine_in "$p" "$win64/tools/vsthost/vsthost.exe" info 'C:\Program Files\Common Files\VST2\Dranvelor.dll'
check "the 32-bit host loads the installed 32-bit DLL" \
  wine_in "$p" "$win32/tools/vsthost/vsthost.exe" info 'C:\Program Files (x86)\Common Files\VST2\Dranvelor.dll'

check "installing the same version again succeeds" wine_in "$p" "$setup" /S
check "it leaves one uninstall entry" test "$(entries "$p")" -eq 1

# A host with the DLL loaded: Windows refuses to write a loaded library, and so does Wine.
WINEPREFIX=$p wine "$win64/tools/vsthost/vsthost.exe" edit 'C:\Program Files\Common Files\VST2\Dranvelor.dll' \
  --seconds 120 >>"$log" 2>&1 </dev/null &
host=$!
check "a host has the plug-in open" quietly timeout 60 xdotool search --sync --name '^Dranvelor'
WINEPREFIX=$p wine "$work/newer.exe" /S >>"$log" 2>&1 </dev/null
status=$?
check "the newer version's silent install fails while the DLL is loaded (exit $status)" test "$status" -ne 0
check "both installed DLLs are intact" installed "$p" "$dll32" "$dll64" ${programs[1]:+"$exe64"}
check "the entry still names the installed version" \
  test "$(reg_value "$p" "$uninstall_key" DisplayVersion)" = "$version"
kill "$host" 2>/dev/null
wait "$host" 2>/dev/null
WINEPREFIX=$p wineserver -w

check "with the host closed, the newer version installs" wine_in "$p" "$work/newer.exe" /S
check "its files replaced the old ones" installed "$p" "$work/newer32/Dranvelor.dll" "$work/newer64/Dranvelor.dll" \
  ${newer_programs[1]:+"${newer_programs[1]}"}
check "there is one uninstall entry, of version $newer" \
  test "$(entries "$p")" -eq 1 -a "$(reg_value "$p" "$uninstall_key" DisplayVersion)" = "$newer"

check "the silent uninstall succeeds" wine_in "$p" "$uninstaller" /S
wine_in "$p" wineboot -r
snapshot "$p" >"$work/after.txt"
check "it leaves no file, folder or key of the product" diff "$work/before.txt" "$work/after.txt"

echo "== hosts' folders in the registry"
p=$work/paths64
wine_in "$p" reg add 'HKLM\Software\VST' /v VSTPluginsPath /d 'C:\Audio Plugins\VST64' /f /reg:64
wine_in "$p" reg add 'HKLM\Software\VST' /v VSTPluginsPath /d 'C:\Audio Plugins\VST64' /f /reg:32
wine_in "$p" "$setup" /S
status=$?
check "one folder for both DLLs makes the silent install fail (exit $status)" test "$status" -ne 0
check "and installs nothing" bash -c '! grep -qi ostravelk "$1/system.reg" && ! find "$1/drive_c" -iname dranvelor.dll | grep -q .' _ "$p"
wine_in "$p" reg add 'HKLM\Software\VST' /v VSTPluginsPath /d 'C:\Audio Plugins\VST32' /f /reg:32
mkdir -p "$p/drive_c/Audio Plugins/VST64" "$p/drive_c/Audio Plugins/VST32"
echo other >"$p/drive_c/Audio Plugins/VST64/Other.dll"
echo other >"$p/drive_c/Audio Plugins/VST32/Other.dll"
check "the silent install into C:\\DranvelorTools succeeds" wine_in "$p" "$setup" /S '/D=C:\DranvelorTools'
check "the 64-bit DLL went to the 64-bit view's folder" cmp "$dll64" "$p/drive_c/Audio Plugins/VST64/Dranvelor.dll"
check "the 32-bit DLL went to the 32-bit view's folder" cmp "$dll32" "$p/drive_c/Audio Plugins/VST32/Dranvelor.dll"
check "nothing went to the usual folders" test ! -e "$p/$common_vst" -a ! -e "$p/$common_vst_x86"
check "/D= placed the uninstaller" test -f "$p/drive_c/DranvelorTools/uninstall.exe"
check "the silent uninstall succeeds" wine_in "$p" 'C:\DranvelorTools\uninstall.exe' /S
check "both DLLs are gone" test ! -e "$p/drive_c/Audio Plugins/VST64/Dranvelor.dll" \
  -a ! -e "$p/drive_c/Audio Plugins/VST32/Dranvelor.dll"
check "the hosts' folders and their other plug-ins stay" \
  test -f "$p/drive_c/Audio Plugins/VST64/Other.dll" -a -f "$p/drive_c/Audio Plugins/VST32/Other.dll"
check "the hosts' registry values stay" \
  test "$(reg_value "$p" 'Software\VST' VSTPluginsPath)" = 'C:\Audio Plugins\VST64'
check "the product's folder and keys are gone" bash -c '! test -e "$1/drive_c/DranvelorTools" &&
  ! grep -qi "ostravelk" "$1/system.reg"' _ "$p"

echo "== a fresh 32-bit prefix"
p=$work/wine32
check "the silent install succeeds" wine_in "$p" "$setup" /S
check "the 32-bit DLL is the shipped one, in Program Files" cmp "$dll32" "$p/$common_vst/Dranvelor.dll"
if [ "${#programs[@]}" -gt 0 ]; then
  check "the 32-bit program is in Program Files\\Ostravelk\\Dranvelor, with a Start-menu shortcut" \
    program_installed "$p" "$exe32"
  check "the installed program runs" wine_in "$p" "$program" --help
fi
check "there is no 64-bit component" \
  test ! -e "$p/$program_files (x86)" -a -z "$(reg_value "$p" "$product_key" Plugin64Folder)"
check "the host loads the installed DLL" \
  wine_in "$p" "$win32/tools/vsthost/vsthost.exe" info 'C:\Program Files\Common Files\VST2\Dranvelor.dll'

# A prefix takes more than a gigabyte: only a failure's are worth keeping.
[ "$failures" -eq 0 ] && rm -rf "$work/fresh64" "$work/paths64" "$work/wine32"
[ "$failures" -eq 0 ]
