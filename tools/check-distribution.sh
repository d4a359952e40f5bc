#!/usr/bin/env bash
# Checks a distribution folder before it is shipped: every ELF file in it is whole and
# stripped, finds each library it needs inside the folder through its own RUNPATH (or takes
# it from the machine's base libraries, tools/base-libraries.txt), and asks for no newer C or
# C++ runtime than the floors stated there. The folder holds no links.
#
# Usage: tools/check-distribution.sh [--floor NAME VERSION]... FOLDER
#   --floor  overrides a stated floor (e.g. --floor GLIBC 2.28)
# Prints the versions the files need; exits 1 naming every fault.
set -euo pipefail

repo=$(dirname -- "$(dirname -- "$(realpath -- "${BASH_SOURCE[0]}")")")
base_list="$repo/tools/base-libraries.txt"

declare -A floor base needed
while read -r first second third; do
  case $first in
    ''|'#'*) ;;
    floor) floor[$second]=$third ;;
    *) base[$first]=1 ;;
  esac
done <"$base_list"

while [ "${1:-}" = --floor ]; do floor[$2]=$3; shift 3; done
[ $# -eq 1 ] && [ -d "$1" ] || { echo "usage: $0 [--floor NAME VERSION]... FOLDER" >&2; exit 2; }
folder=$(cd -- "$1" && pwd -P)
# Faults are counted in a file: some are found in sub-shells.
faults=$(mktemp)
trap 'rm -f -- "$faults"' EXIT

fault() { echo "check-distribution: $*" | tee -a "$faults" >&2; }

is_elf() { [ "$(head -c 4 -- "$1" | od -An -c | tr -d ' ')" = '177ELF' ]; }

newer() { [ "$1" != "$2" ] && [ "$(printf '%s\n%s\n' "$1" "$2" | sort -V | tail -n 1)" = "$1" ]; }

# Every loadable segment must lie inside the file: a cut file is damaged.
check_whole() {  # FILE NAME
  local size end
  size=$(stat -c %s -- "$1")
  end=0
  while read -r type offset _ _ filesize _; do
    if [ "$type" = LOAD ] && [ $((offset + filesize)) -gt "$end" ]; then end=$((offset + filesize)); fi
  done < <(readelf -lW -- "$1" 2>/dev/null)
  if ! readelf -hdlSW -- "$1" >/dev/null 2>&1 || readelf -hdlSW -- "$1" 2>&1 >/dev/null | grep -q .; then
    fault "$2: damaged (readelf cannot read it)"
  elif [ "$end" -eq 0 ] || [ "$end" -gt "$size" ]; then
    fault "$2: damaged (its segments end at $end, the file at $size bytes)"
  fi
}

check_stripped() {  # FILE NAME
  if readelf -SW -- "$1" 2>/dev/null | grep -qE ' \.(symtab|debug_[a-z]+) '; then
    fault "$2: not stripped"
  fi
}

# The folders a file's RUNPATH names, with $ORIGIN put in; each must lie inside the folder.
runpath_folders() {  # FILE NAME
  local origin entry resolved
  origin=$(dirname -- "$1")
  readelf -dW -- "$1" 2>/dev/null | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]$/\1 \2/p' |
    while read -r kind value; do
      [ "$kind" = RUNPATH ] || fault "$2: uses RPATH, not RUNPATH"
      tr ':' '\n' <<<"$value" | while read -r entry; do
        resolved=$(realpath -m -- "${entry//\$ORIGIN/$origin}")
        case $resolved/ in
          "$folder"/*) echo "$resolved" ;;
          *) fault "$2: RUNPATH $entry leads out of the folder" ;;
        esac
      done
    done
}

check_needed() {  # FILE NAME
  local library found dirs
  dirs=$(runpath_folders "$1" "$2")
  for library in $(readelf -dW -- "$1" 2>/dev/null | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p'); do
    [ -z "${base[$library]:-}" ] || continue
    found=""
    for dir in $dirs; do
      if [ -f "$dir/$library" ]; then found=$dir/$library; break; fi
    done
    [ -n "$found" ] || fault "$2: needs $library, not found in the folder nor a base library"
  done
}

# The newest version of each runtime the file asks for, from its version needs.
record_versions() {  # FILE NAME
  local name version
  local -A newest=()
  while IFS=_ read -r name version; do
    [ -n "${floor[$name]:-}" ] || continue
    if [ -z "${newest[$name]:-}" ] || newer "$version" "${newest[$name]}"; then
      newest[$name]=$version
    fi
  done < <(readelf -VW -- "$1" 2>/dev/null |
    awk '/^Version needs section/ { on = 1; next } /^Version .* section/ { on = 0 }
         on { for (i = 1; i <= NF; i++) if ($i == "Name:") print $(i + 1) }' | grep '_[0-9]')
  for name in "${!newest[@]}"; do
    version=${newest[$name]}
    if newer "$version" "${floor[$name]}"; then
      fault "$2: needs ${name}_$version, newer than the floor ${name}_${floor[$name]}"
    fi
    if [ -z "${needed[$name]:-}" ] || newer "$version" "${needed[$name]}"; then
      needed[$name]=$version
    fi
  done
}

elf_files=0
while IFS= read -r -d '' path; do
  name=${path#"$folder"/}
  if [ -L "$path" ]; then
    fault "$name: a link (the folder must hold real files only)"
    continue
  fi
  [ -f "$path" ] && is_elf "$path" || continue
  elf_files=$((elf_files + 1))
  check_whole "$path" "$name"
  check_stripped "$path" "$name"
  check_needed "$path" "$name"
  record_versions "$path" "$name"
done < <(find "$folder" -mindepth 1 \( -type f -o -type l \) -print0)

[ "$elf_files" -gt 0 ] || fault "no ELF file in $folder"
summary=""
for name in "${!needed[@]}"; do summary+=" ${name}_${needed[$name]}"; done
echo "check-distribution: $elf_files ELF files; newest versions needed:${summary:- none}"
count=$(wc -l <"$faults")
[ "$count" -eq 0 ] || { echo "check-distribution: $count faults in $folder" >&2; exit 1; }
