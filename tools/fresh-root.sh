#!/usr/bin/env bash
# Makes (once) the root of a fresh Debian 12 desktop machine without Qt: debootstrap's minbase
# with only the base libraries of tools/base-libraries.txt, fonts-dejavu-core and an ordinary
# user "quindor". Prints the root's folder.
#
# Usage: tools/fresh-root.sh [BUILD_DIR]          (as root; BUILD_DIR defaults to build/)
#
# The root is kept in BUILD_DIR/fresh-root/ and made again only when its package list
# changes; the packages downloaded are kept in BUILD_DIR/fresh-root-debs/. The mirror is the
# one this machine's apt configuration names for Debian 12, read at run time.
set -euo pipefail

die() { echo "fresh-root: $*" >&2; exit 1; }

repo=$(dirname -- "$(dirname -- "$(realpath -- "${BASH_SOURCE[0]}")")")
[ $# -le 1 ] || die "usage: $0 [BUILD_DIR]"
mkdir -p -- "${1:-$repo/build}"
build=$(cd -- "${1:-$repo/build}" && pwd -P)
[ "$(id -u)" -eq 0 ] || die "debootstrap and chroot need root"
command -v debootstrap >/dev/null || die "install debootstrap: tools/install-deps.sh"

suite=bookworm
root="$build/fresh-root"
debs="$build/fresh-root-debs"

# The base libraries' packages and the one font package a minimal desktop root brings.
packages() {
  { awk '!/^#/ && NF == 2 && $1 != "floor" { print $2 }' "$repo/tools/base-libraries.txt"
    echo fonts-dejavu-core; } | LC_ALL=C sort -u
}

# The first Debian 12 mirror among this machine's apt sources (one-line and deb822 forms).
mirror() {
  local files=() f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do [ -f "$f" ] && files+=("$f"); done
  [ ${#files[@]} -eq 0 ] || awk -v suite="$suite" '
    $1 == "deb" { line = $0; sub(/\[[^]]*\]/, "", line); split(line, f)
                  if (f[3] == suite) { print f[2]; exit } }' "${files[@]}"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v suite="$suite" '
      function flush() { if (deb && found && uri != "") { print uri; exit } deb = found = 0; uri = "" }
      /^[ \t]*$/ { flush(); next }
      tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
      tolower($1) == "uris:" { uri = $2 }
      tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == suite) found = 1 }
      END { flush() }' "$f"
  done
}

list=$(packages)
stamp=$(printf '%s\n%s\n' "$suite" "$list" | sha256sum | cut -d' ' -f1)
if [ "$(cat -- "$root/.quindor-stamp" 2>/dev/null)" = "$stamp" ]; then
  echo "$root"
  exit 0
fi

url=$(mirror | head -n 1)
[ -n "$url" ] || die "no Debian 12 ($suite) mirror in /etc/apt/sources.list or sources.list.d"
rm -rf -- "$root" "$root.new"
mkdir -p -- "$root.new" "$debs"
start=$(date +%s)
debootstrap --variant=minbase --cache-dir="$debs" --include="$(paste -sd, <<<"$list")" \
  "$suite" "$root.new" "$url" >"$build/fresh-root.log" 2>&1 ||
  die "debootstrap failed (see $build/fresh-root.log)"
chroot "$root.new" useradd --create-home --uid 4242 --shell /bin/sh quindor
rm -rf -- "$root.new"/var/cache/apt/archives/*.deb "$root.new"/var/lib/apt/lists/*
echo "$stamp" >"$root.new/.quindor-stamp"
mv -- "$root.new" "$root"
echo "fresh-root: made in $(($(date +%s) - start)) s" >&2
echo "$root"
