#!/usr/bin/env bash
# One row of the distribution check's table: a small real distribution (the system's unzip
# with the bzip2 library it needs, laid out as make-demo-dist.sh lays out programs) spoilt in
# one way, and the check must say so; left whole, it must pass.
# Usage: check_distribution_test.sh REPO CASE      (CASE: whole, missing, damaged, link,
#        unstripped, floor, runpath-out; readme: the README states the glibc floor checked)
set -euo pipefail

repo=$1 case=$2
if [ "$case" = readme ]; then
  glibc=$(awk '$1 == "floor" && $2 == "GLIBC" { print $3 }' "$repo/tools/base-libraries.txt")
  grep -qF "glibc $glibc" "$repo/README.md" || { echo "FAIL: the README does not state glibc $glibc" >&2; exit 1; }
  exit 0
fi
folder=$(mktemp -d)
trap 'rm -rf -- "$folder"' EXIT

install -m 755 /usr/bin/unzip "$folder/unzip"
install -D -m 644 "$(realpath "$(ldconfig -p | awk '$1 == "libbz2.so.1.0" { print $NF; exit }')")" \
  "$folder/lib/libbz2.so.1.0"
strip --strip-all "$folder/unzip"
strip --strip-unneeded "$folder/lib/libbz2.so.1.0"
patchelf --set-rpath '$ORIGIN/lib' "$folder/unzip"
patchelf --set-rpath '$ORIGIN' "$folder/lib/libbz2.so.1.0"

floor=()
case $case in
  whole) expected="" ;;
  missing) rm "$folder/lib/libbz2.so.1.0"; expected="needs libbz2.so.1.0, not found" ;;
  damaged) truncate -s 4096 "$folder/lib/libbz2.so.1.0"; expected="lib/libbz2.so.1.0: damaged" ;;
  link) ln -s /usr/bin/unzip "$folder/unzip2"; expected="unzip2: a link" ;;
  unstripped)
    head -c 64 /dev/zero >"$folder/debug"
    objcopy --add-section .debug_info="$folder/debug" "$folder/unzip"
    rm "$folder/debug"
    expected="unzip: not stripped" ;;
  floor) floor=(--floor GLIBC 2.17); expected="unzip: needs GLIBC_2.34, newer than the floor GLIBC_2.17" ;;
  runpath-out)
    patchelf --set-rpath /usr/lib/x86_64-linux-gnu "$folder/unzip"
    expected="unzip: RUNPATH /usr/lib/x86_64-linux-gnu leads out of the folder" ;;
  *) echo "unknown case $case" >&2; exit 2 ;;
esac

status=0
output=$("$repo/tools/check-distribution.sh" "${floor[@]}" "$folder" 2>&1) || status=$?
echo "$output"
if [ -z "$expected" ]; then
  [ "$status" -eq 0 ] || { echo "FAIL: a whole folder was refused" >&2; exit 1; }
else
  [ "$status" -eq 1 ] || { echo "FAIL: the check passed a folder with a fault ($case)" >&2; exit 1; }
  grep -qF -- "$expected" <<<"$output" || { echo "FAIL: no '$expected'" >&2; exit 1; }
fi
