#!/usr/bin/env bash
# Installs Dranvelor for the current user, without root: the Linux plug-in into the user's VST
# folder, the LV2 bundle into the user's LV2 folder, a Windows DLL into a Wine prefix. A record next to the plug-in lists what was put
# there, so that "uninstall" removes exactly that and nothing else.
set -euo pipefail

prog=$(basename "$0")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
record_name=.dranvelor-install

usage() {
  cat <<EOF
usage: $prog install [--force] [--wine PREFIX | --lv2] [PLUGIN]
       $prog uninstall [--force] [--wine PREFIX | --lv2]

install    copies the plug-in into the folder hosts scan:
             Linux:  the first folder in \$LXVST_PATH, else in \$VST_PATH, else ~/.vst
             --lv2:  the bundle Dranvelor.lv2 into the first folder in \$LV2_PATH, else ~/.lv2
             --wine: PREFIX/drive_c/Program Files/Common Files/VST2
           PLUGIN defaults to the Dranvelor.so (--lv2: Dranvelor.lv2, --wine: Dranvelor.dll)
           next to this script or in the build tree; a PLUGIN that is a .lv2 folder implies
           --lv2. A different file of the same name is left alone unless --force is given.
uninstall  removes what install put into that folder (and the folders it created). A plug-in
           changed since it was installed is left alone unless --force is given.
EOF
}

fail() {
  echo "$prog: $*" >&2
  exit 1
}

usage_error() {
  echo "$prog: $* (see $prog --help)" >&2
  exit 2
}

# The first non-empty entry of a colon-separated list.
first_entry() {
  local entry
  IFS=: read -r -a entries <<<"$1"
  for entry in "${entries[@]}"; do
    [ -n "$entry" ] && { echo "$entry"; return; }
  done
}

target_folder() {
  if [ -n "$wine_prefix" ]; then
    [ -d "$wine_prefix" ] || fail "Wine prefix not found: $wine_prefix"
    [ -d "$wine_prefix/drive_c" ] || fail "not a Wine prefix (it has no drive_c folder): $wine_prefix"
    echo "$wine_prefix/drive_c/Program Files/Common Files/VST2"
    return
  fi
  local folder
  if [ "$lv2" -eq 1 ]; then
    folder=$(first_entry "${LV2_PATH:-}")
    [ -n "$folder" ] || { [ -n "${HOME:-}" ] || fail "HOME is not set"; folder="$HOME/.lv2"; }
    echo "$folder"
    return
  fi
  folder=$(first_entry "${LXVST_PATH:-}")
  [ -n "$folder" ] || folder=$(first_entry "${VST_PATH:-}")
  [ -n "$folder" ] || { [ -n "${HOME:-}" ] || fail "HOME is not set"; folder="$HOME/.vst"; }
  echo "$folder"
}

default_plugin() {
  local name=Dranvelor.so tree=linux/host/plugin candidate
  [ -n "$wine_prefix" ] && { name=Dranvelor.dll; tree=win32/host/plugin; }
  [ "$lv2" -eq 1 ] && { name=Dranvelor.lv2; tree=linux/lv2/bundles; }
  for candidate in "$here/$name" "$here/../build/$tree/$name"; do
    [ -e "$candidate" ] && { echo "$candidate"; return; }
  done
  fail "no $name next to $prog or in build/${tree%%/*}: name the plug-in file to install"
}

# bytes FILE OFFSET COUNT: the bytes there as decimal numbers, one line.
bytes() {
  od -An -tu1 -j "$2" -N "$3" "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'
}

# A plug-in is a library of the kind the target loads that exports the VST entry point; a
# bundle holds its description and a Linux library exporting the LV2 descriptor.
check_plugin() {
  local file=$1 pe
  [ -e "$file" ] || fail "plug-in file not found: $file"
  if [ "$lv2" -eq 1 ]; then
    [ -d "$file" ] && [ -r "$file/manifest.ttl" ] || fail "not an LV2 bundle (no manifest.ttl): $file"
    [ "$(bytes "$file/Dranvelor.so" 0 4 2>/dev/null)" = "127 69 76 70" ] &&
      LC_ALL=C grep -qa lv2_descriptor "$file/Dranvelor.so" ||
      fail "not the Dranvelor bundle (no LV2 library Dranvelor.so): $file"
    return
  fi
  [ -f "$file" ] && [ -r "$file" ] || fail "not a readable file: $file"
  if [ "$(bytes "$file" 0 4)" = "127 69 76 70" ]; then
    [ -z "$wine_prefix" ] || fail "$file is a Linux library; --wine takes a Windows DLL"
    # 64-bit, x86-64: the only kind this machine's hosts load.
    [ "$(bytes "$file" 4 1)" = 2 ] && [ "$(bytes "$file" 18 2)" = "62 0" ] ||
      fail "$file is not a 64-bit x86-64 library"
  elif [ "$(bytes "$file" 0 2)" = "77 90" ]; then
    [ -n "$wine_prefix" ] || fail "$file is a Windows DLL: install it into a Wine prefix with --wine PREFIX"
    read -r -a pe <<<"$(bytes "$file" 60 4)"
    [ "${#pe[@]}" -eq 4 ] &&
      [ "$(bytes "$file" $((pe[0] + 256 * pe[1] + 65536 * pe[2])) 4)" = "80 69 0 0" ] ||
      fail "not a Windows DLL: $file"
  else
    fail "not a plug-in (neither a Linux library nor a Windows DLL): $file"
  fi
  LC_ALL=C grep -qa VSTPluginMain "$file" || fail "not a VST plug-in (no VSTPluginMain): $file"
}

digest() {
  sha256sum "$1" | cut -d ' ' -f 1
}

# The same plug-in file, or the same bundle.
same() {
  if [ -d "$1" ]; then diff -rq "$1" "$2" >/dev/null 2>&1; else cmp -s "$1" "$2"; fi
}

# The record's file lines for what name is: the plug-in, or every file of the bundle.
file_lines() {
  local folder=$1 name=$2 file
  if [ -d "$folder/$name" ]; then
    while IFS= read -r file; do
      printf 'file %s %s\n' "$(digest "$folder/$file")" "$file"
    done < <(cd "$folder" && find "$name" -type f | sort)
  else
    printf 'file %s %s\n' "$(digest "$folder/$name")" "$name"
  fi
}

# The folders of the path that do not exist yet, outermost first; fails on a file in the way.
missing_folders() {
  local path=$1 missing=()
  while [ ! -e "$path" ]; do
    missing=("$path" "${missing[@]}")
    path=$(dirname "$path")
  done
  [ -d "$path" ] || fail "not a folder: $path"
  [ -w "$path" ] || fail "cannot write to $path (permission denied)"
  printf '%s\n' "${missing[@]}"
}

install_plugin() {
  local plugin=$1 folder name dest record listing created=()
  check_plugin "$plugin"
  folder=$(target_folder)
  name=$(basename "$plugin")
  dest="$folder/$name"
  record="$folder/$record_name"
  listing=$(missing_folders "$folder")
  [ -z "$listing" ] || mapfile -t created <<<"$listing"
  [ -d "$plugin" ] || [ ! -d "$dest" ] || fail "$dest is a folder"
  [ ! -d "$plugin" ] || [ ! -e "$dest" ] || [ -d "$dest" ] || fail "$dest is not a folder"
  if [ -e "$dest" ]; then
    if same "$plugin" "$dest"; then
      echo "already installed: $dest"
      return
    fi
    [ "$force" -eq 1 ] || fail "$dest exists and is a different file: --force replaces it"
  fi
  [ "${#created[@]}" -eq 0 ] || mkdir -p "$folder" || fail "cannot create $folder"
  [ -w "$folder" ] || fail "cannot write to $folder (permission denied)"
  # Copy under a temporary name first: a host scanning the folder never sees half a plug-in.
  local part="$folder/.$name.part"
  rm -rf "$part"
  cp -r "$plugin" "$part" || { rm -rf "$part"; fail "cannot write to $folder"; }
  if [ -d "$plugin" ]; then
    chmod -R u=rwX,go=rX "$part"
    # A bundle replaced by --force keeps the folder the user made.
    if [ -d "$dest" ]; then
      cp -r "$part/." "$dest/" && rm -rf "$part" || fail "cannot write to $dest"
    else
      mv "$part" "$dest"
      created+=("$dest")
    fi
  else
    chmod 644 "$part"
    mv -f "$part" "$dest"
  fi
  {
    # A reinstall keeps the folders recorded before and replaces this plug-in's lines.
    [ ! -f "$record" ] || awk -v name="$name" '!($1 == "file" && (substr($0, 71) == name ||
      index(substr($0, 71), name "/") == 1))' "$record"
    [ "${#created[@]}" -eq 0 ] || printf 'dir %s\n' "${created[@]}"
    file_lines "$folder" "$name"
  } >"$record.part"
  mv -f "$record.part" "$record"
  echo "installed $dest"
}

uninstall_plugin() {
  local folder record line sum name dirs=() files=() i
  folder=$(target_folder)
  record="$folder/$record_name"
  [ -f "$record" ] || fail "nothing to uninstall: $folder holds no plug-in installed by $prog"
  [ -w "$folder" ] || fail "cannot write to $folder (permission denied)"
  # Lines are "dir PATH" and "file SHA256 NAME"; paths and names may hold blanks.
  while IFS= read -r line; do
    case "$line" in
      "dir "*) dirs+=("${line#dir }") ;;
      "file "*) files+=("${line#file }") ;;
    esac
  done <"$record"
  for line in "${files[@]}"; do
    sum=${line%% *}
    name=${line#* }
    if [ ! -e "$folder/$name" ]; then
      echo "already gone: $folder/$name"
    elif [ "$force" -eq 1 ] || [ "$(digest "$folder/$name")" = "$sum" ]; then
      rm -f "$folder/$name"
      echo "removed $folder/$name"
    else
      fail "$folder/$name changed since it was installed: --force removes it anyway"
    fi
  done
  rm -f "$record"
  # Innermost first; a folder that holds anything else stays.
  for ((i = ${#dirs[@]} - 1; i >= 0; i--)); do
    rmdir "${dirs[i]}" 2>/dev/null && echo "removed ${dirs[i]}/" || true
  done
}

command=""
force=0
wine_prefix=""
lv2=0
plugin=""
while [ $# -gt 0 ]; do
  case "$1" in
    -h | --help) usage; exit 0 ;;
    --force) force=1 ;;
    --wine)
      [ $# -ge 2 ] && [ -n "$2" ] || usage_error "--wine needs the prefix folder"
      wine_prefix=$2
      shift
      ;;
    --wine=*) wine_prefix=${1#--wine=} ;;
    --lv2) lv2=1 ;;
    -*) usage_error "unknown option '$1'" ;;
    *)
      if [ -z "$command" ]; then
        command=$1
      elif [ -z "$plugin" ]; then
        plugin=$1
      else
        usage_error "too many arguments"
      fi
      ;;
  esac
  shift
done

[ -z "$plugin" ] || [ ! -d "$plugin" ] || [[ "$plugin" != *.lv2 && "$plugin" != *.lv2/ ]] || lv2=1
[ "$lv2" -eq 0 ] || [ -z "$wine_prefix" ] || usage_error "an LV2 bundle installs on Linux, not into Wine"
plugin=${plugin%/}

case "$command" in
  install)
    [ -n "$plugin" ] || plugin=$(default_plugin)
    install_plugin "$plugin"
    ;;
  uninstall)
    [ -z "$plugin" ] || usage_error "uninstall takes no plug-in file"
    uninstall_plugin
    ;;
  "") usage_error "no command given" ;;
  *) usage_error "unknown command '$command'" ;;
esac
