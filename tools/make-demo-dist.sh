#!/usr/bin/env bash
# Lays out the demo distribution folder beside the built setup program:
#   build/dist/setup, unzip (the system's), QUINDOR.ZIP, one archive per dictionary code
#   and HTMLhelp.ZIP.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
dist="$build/dist"
work="$build/dist-work"

rm -rf "$work"
mkdir -p "$dist" "$work"
install -m 755 "$build/setup/setup" "$dist/setup"
ln -sfn "$(command -v unzip)" "$dist/unzip"

# The product: a note on what this demo distribution holds.
mkdir -p "$work/product"
cat > "$work/product/README.TXT" <<'TEXT'
Quindor 1.2 demo distribution.
TEXT
(cd "$work/product" && rm -f "$OLDPWD/$dist/QUINDOR.ZIP" && zip -q -r "$OLDPWD/$dist/QUINDOR.ZIP" .)

for code in UK US DA NL DE FR PL RU CZ SK SI IT SP SE ZA; do
  mkdir -p "$work/dict-$code/QUINDOR"
  echo "Word list $code" > "$work/dict-$code/QUINDOR/$code.DIC"
  (cd "$work/dict-$code" && rm -f "$OLDPWD/$dist/$code.ZIP" && zip -q -r "$OLDPWD/$dist/$code.ZIP" .)
done

mkdir -p "$work/help"
echo "<html><body><h1>Quindor help</h1></body></html>" > "$work/help/INDEX.HTM"
(cd "$work/help" && rm -f "$OLDPWD/$dist/HTMLhelp.ZIP" && zip -q -r "$OLDPWD/$dist/HTMLhelp.ZIP" .)
rm -rf "$work"
echo "Demo distribution laid out in $dist"
