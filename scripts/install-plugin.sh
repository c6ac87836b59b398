#!/usr/bin/env bash
# Installs Dranvelor for the current user, without root: the Linux plug-in into the user's VST
# folder, the LV2 bundle into the user's LV2 folder, a Windows DLL into a Wine prefix, the
# standalone program into ~/.local with its desktop entry and icons. A record in the folder
# installed into lists what was put there, so that "uninstall" removes exactly that and nothing
# else.
set -euo pipefail

prog=$(basename "$0")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
record_name=.dranvelor-install

usage() {
  cat <<EOF
usage: $prog install [--force] [--wine PREFIX | --lv2 | --program] [FILE]
       $prog uninstall [--force] [--wine PREFIX | --lv2 | --program]

install    copies the plug-in into the folder hosts scan:
             Linux:  the first folder in \$LXVST_PATH, else in \$VST_PATH, else ~/.vst
             --lv2:  the bundle Dranvelor.lv2 into the first folder in \$LV2_PATH, else ~/.lv2
             --wine: PREFIX/drive_c/Program Files/Common Files/VST2
             --program: the standalone program into ~/.local/bin, its desktop entry into
                    ~/.local/share/applications, its icons into ~/.local/share/icons/hicolor
           FILE defaults to the Dranvelor.so (--lv2: Dranvelor.lv2, --wine: Dranvelor.dll,
           --program: dranvelor, with dranvelor.desktop and icons/ beside it) next to this
           script or in the build tree; a FILE that is a .lv2 folder implies --lv2. A
           different file of the same name is left alone unless --force is given.
uninstall  removes what install put into that folder (and the folders it created). A file
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
  if [ "$program" -eq 1 ]; then
    [ -n "${HOME:-}" ] || fail "HOME is not set"
    echo "$HOME/.local"
    return
  fi
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
  [ "$program" -eq 1 ] && { name=dranvelor; tree=linux/packaging/stripped; }
  for candidate in "$here/$name" "$here/../build/$tree/$name"; do
    [ -e "$candidate" ] && { echo "$candidate"; return; }
  done
  fail "no $name next to $prog or in build/${tree%%/*}: name the file to install"
}

# bytes FILE OFFSET COUNT: the bytes there as decimal numbers, one line.
bytes() {
  od -An -tu1 -j "$2" -N "$3" "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'
}

# bytes_number FILE OFFSET COUNT: the little-endian number there.
bytes_number() {
  local byte number=0 scale=1
  for byte in $(bytes "$@"); do
    number=$((number + byte * scale))
    scale=$((scale * 256))
  done
  echo "$number"
}

# An ELF file that names a program interpreter is an executable; a library, whose type a
# position-independent executable shares, names none.
has_interpreter() {
  local offset size count i
  offset=$(bytes_number "$1" 32 8)
  size=$(bytes_number "$1" 54 2)
  count=$(bytes_number "$1" 56 2)
  for ((i = 0; i < count; i++)); do
    [ "$(bytes "$1" $((offset + i * size)) 4)" != "3 0 0 0" ] || return 0
  done
  return 1
}

# A plug-in is a library of the kind the target loads that exports the VST entry point; a
# bundle holds its description and a Linux library exporting the LV2 descriptor.
check_plugin() {
  local file=$1 pe
  [ -e "$file" ] || fail "file not found: $file"
  if [ "$lv2" -eq 1 ]; then
    [ -d "$file" ] && [ -r "$file/manifest.ttl" ] || fail "not an LV2 bundle (no manifest.ttl): $file"
    [ "$(bytes "$file/Dranvelor.so" 0 4 2>/dev/null)" = "127 69 76 70" ] &&
      LC_ALL=C grep -qa lv2_descriptor "$file/Dranvelor.so" ||
      fail "not the Dranvelor bundle (no LV2 library Dranvelor.so): $file"
    return
  fi
  [ -f "$file" ] && [ -r "$file" ] || fail "not a readable file: $file"
  if [ "$program" -eq 1 ]; then
    [ "$(bytes "$file" 0 5)" = "127 69 76 70 2" ] && [ "$(bytes "$file" 18 2)" = "62 0" ] &&
      [ -x "$file" ] && has_interpreter "$file" ||
      fail "not a program for this machine (an x86-64 executable): $file"
    [ -f "$(dirname "$file")/dranvelor.desktop" ] || fail "no dranvelor.desktop beside $file"
    return
  fi
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

# The record without the file lines of the names given, nor of the files in them.
record_without() {
  local record=$1
  shift
  [ ! -f "$record" ] || awk -v names="$(printf '%s\n' "$@")" '
    BEGIN { count = split(names, list, "\n"); for (i = 1; i <= count; i++) if (list[i] != "") drop[list[i]] = 1 }
    $1 == "file" { name = substr($0, 71); for (d in drop) if (name == d || index(name, d "/") == 1) next }
    { print }' "$record"
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
    record_without "$record" "$name"
    [ "${#created[@]}" -eq 0 ] || printf 'dir %s\n' "${created[@]}"
    file_lines "$folder" "$name"
  } >"$record.part"
  mv -f "$record.part" "$record"
  echo "installed $dest"
}

# The program, its desktop entry (starting the installed program by its path, which the
# desktop's PATH may not include) and its icons, each under the prefix ~/.local as its own
# file: every one is checked before any is written.
install_program() {
  local source=$1 prefix record here_dir bin line icon i dest folder listing part
  local sources=() names=() modes=() created=() replaced=0
  check_plugin "$source"
  here_dir=$(dirname "$source")
  prefix=$(target_folder)
  record="$prefix/$record_name"
  bin="$prefix/bin/dranvelor"
  case "$bin" in
    *[\"\`\$\\%]* | *$'\n'*)
      fail "a desktop entry cannot name $bin: its path holds a quote, \$, \\, % or a line break" ;;
  esac
  staging=$(mktemp -d)
  while IFS= read -r line; do
    [ "$line" != "Exec=dranvelor" ] || line="Exec=\"$bin\""
    printf '%s\n' "$line"
  done <"$here_dir/dranvelor.desktop" >"$staging/dranvelor.desktop"
  sources=("$source" "$staging/dranvelor.desktop")
  names=(bin/dranvelor share/applications/dranvelor.desktop)
  modes=(755 644)
  for icon in "$here_dir"/icons/hicolor/*/apps/dranvelor.png; do
    [ -f "$icon" ] || fail "no icons beside $source (icons/hicolor/SIZE/apps/dranvelor.png)"
    sources+=("$icon")
    names+=("share/${icon#"$here_dir"/}")
    modes+=(644)
  done
  for i in "${!names[@]}"; do
    dest="$prefix/${names[i]}"
    [ ! -d "$dest" ] || fail "$dest is a folder"
    cmp -s "${sources[i]}" "$dest" && continue
    [ ! -e "$dest" ] || [ "$force" -eq 1 ] || fail "$dest exists and is a different file: --force replaces it"
    replaced=1
  done
  if [ "$replaced" -eq 0 ]; then
    echo "already installed: $bin"
    return
  fi
  for i in "${!names[@]}"; do
    dest="$prefix/${names[i]}"
    folder=$(dirname "$dest")
    listing=$(missing_folders "$folder")
    if [ -n "$listing" ]; then
      mapfile -t -O "${#created[@]}" created <<<"$listing"
      mkdir -p "$folder" || fail "cannot create $folder"
    fi
    [ -w "$folder" ] || fail "cannot write to $folder (permission denied)"
    # A temporary name first: a desktop that scans the folder never sees half a file.
    part="$folder/.${dest##*/}.part"
    cp "${sources[i]}" "$part" && chmod "${modes[i]}" "$part" && mv -f "$part" "$dest" ||
      { rm -f "$part"; fail "cannot write to $folder"; }
  done
  {
    record_without "$record" "${names[@]}"
    [ "${#created[@]}" -eq 0 ] || printf 'dir %s\n' "${created[@]}"
    for i in "${!names[@]}"; do file_lines "$prefix" "${names[i]}"; done
  } >"$record.part"
  mv -f "$record.part" "$record"
  echo "installed $bin"
}

uninstall_plugin() {
  local folder record line sum name dirs=() files=() i
  folder=$(target_folder)
  record="$folder/$record_name"
  [ -f "$record" ] || fail "nothing to uninstall: $folder holds nothing installed by $prog"
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

staging=""
trap 'rm -rf "$staging"' EXIT
command=""
force=0
wine_prefix=""
lv2=0
program=0
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
    --program) program=1 ;;
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
if [ "$program" -eq 1 ] && { [ "$lv2" -eq 1 ] || [ -n "$wine_prefix" ]; }; then
  usage_error "--program installs the Linux program, neither with --lv2 nor into Wine"
fi
plugin=${plugin%/}

case "$command" in
  install)
    [ -n "$plugin" ] || plugin=$(default_plugin)
    if [ "$program" -eq 1 ]; then install_program "$plugin"; else install_plugin "$plugin"; fi
    ;;
  uninstall)
    [ -z "$plugin" ] || usage_error "uninstall takes no file"
    uninstall_plugin
    ;;
  "") usage_error "no command given" ;;
  *) usage_error "unknown command '$command'" ;;
esac
