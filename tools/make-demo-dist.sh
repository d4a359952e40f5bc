#!/usr/bin/env bash
# Lays out the demo distribution folder BUILD_DIR/dist/ beside the built setup program, and
# the file to hand out, BUILD_DIR/quindor-VERSION-linux-ARCH.tar.gz (the folder alone, as
# quindor-VERSION-linux-ARCH/):
#   setup         BUILD_DIR/setup/setup, stripped (it finds the archives beside itself)
#   unzip         the system's extractor, stripped
#   lib/          every library these load that is not a base library (tools/base-libraries.txt)
#   plugins/      the Qt platform plugins for X11 and Wayland with what they load
#   qt.conf       tells Qt its plugins are in plugins/
#   QUINDOR.ZIP   QUINDOR.EXE (BUILD_DIR/demo/quindor-demo) with its own lib/, plugins/ and
#                 qt.conf, TAHOMA.TTF, TAHOMABD.TTF, README.TXT
#   UK.ZIP ...    one per dictionary code, each holding the word list CODE.DIC at its top level
#   HTMLhelp.ZIP  a few HTML help pages
# Programs find lib/ through their RUNPATH ($ORIGIN/lib), libraries each other through
# theirs ($ORIGIN), so the user starts setup itself. Every ELF file is stripped; the debug
# information of our own programs stays in BUILD_DIR/dist-debug/ (each stripped file names
# its .debug file). tools/check-distribution.sh checks the new folder before it replaces the
# old one: a library missing or damaged, or one needing a newer C library than the stated
# floor, fails the run.
#
# Usage: tools/make-demo-dist.sh [--check] [BUILD_DIR]      (BUILD_DIR defaults to build/)
#   --check  afterwards tests every archive and installs the product and two dictionaries
#            into a temporary folder the way the setup does, then runs QUINDOR.EXE --print.
#
# The folder is laid out afresh on every run and replaced in one step at the end, so a failed
# run leaves the previous one in place. Archives are kept in BUILD_DIR/dist-cache/ and made
# again only when their inputs (or this script) change. Word lists come from Debian's word-list
# packages (tools/install-deps.sh installs them); languages without such a package get a short
# list of common words written here.
set -euo pipefail
umask 022

die() { echo "make-demo-dist: $*" >&2; exit 1; }

self=$(realpath -- "${BASH_SOURCE[0]}")
repo=$(dirname -- "$(dirname -- "$self")")
check=0
if [ "${1:-}" = --check ]; then check=1; shift; fi
[ $# -le 1 ] || die "usage: $0 [--check] [BUILD_DIR]"
[ -d "${1:-$repo/build}" ] || die "no build folder '${1:-$repo/build}'"
build=$(cd -- "${1:-$repo/build}" && pwd -P)

dist="$build/dist"
next="$build/dist.new"
cache="$build/dist-cache"
work="$build/dist-work"
setup_program="$build/setup/setup"
product_program="$build/demo/quindor-demo"
font_folder=/usr/share/wine/fonts
extractor=/usr/bin/unzip
debug="$build/dist-debug"
base_list="$repo/tools/base-libraries.txt"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
name="quindor-${version:-0}-linux-$(uname -m)"
tarball="$build/$name.tar.gz"

# The Qt plugins the pages load: the platforms for X11 and Wayland, the Wayland shell,
# decoration and buffer integrations, the X11 GL integrations and the input methods.
qt_plugins=(
  platforms/libqxcb.so platforms/libqwayland-generic.so platforms/libqwayland-egl.so
  xcbglintegrations/libqxcb-glx-integration.so xcbglintegrations/libqxcb-egl-integration.so
  wayland-shell-integration/libxdg-shell.so wayland-decoration-client/libbradient.so
  wayland-graphics-integration-client/libqt-plugin-wayland-egl.so
  platforminputcontexts/libcomposeplatforminputcontextplugin.so
  platforminputcontexts/libibusplatforminputcontextplugin.so
)
# Libraries Qt opens by name at run time instead of linking them (the X11 cursor themes).
loaded_by_name=(libXcursor.so.1)

# Dictionary codes in the order of the setup's list, with the language each is shown as.
codes=(UK US DA NL DE FR PL RU CZ SK SI IT SP SE ZA)
declare -A language=(
  [UK]="British English" [US]="American English" [DA]=Danish [NL]=Dutch [DE]=German
  [FR]=French [PL]=Polish [RU]=Russian [CZ]=Czeck [SK]=Slovak [SI]=Slovenian [IT]=Italian
  [SP]=Spanish [SE]=Swedish [ZA]=South-African
)
# Debian package and word-list file per code; codes not listed get a sample list below.
declare -A package=(
  [UK]=wbritish-large [US]=wamerican-large [DA]=wdanish [NL]=wdutch [DE]=wngerman
  [FR]=wfrench [PL]=wpolish [IT]=witalian [SP]=wspanish [SE]=wswedish
)
declare -A wordlist=(
  [UK]=/usr/share/dict/british-english-large [US]=/usr/share/dict/american-english-large
  [DA]=/usr/share/dict/danish [NL]=/usr/share/dict/dutch [DE]=/usr/share/dict/ngerman
  [FR]=/usr/share/dict/french [PL]=/usr/share/dict/polish [IT]=/usr/share/dict/italian
  [SP]=/usr/share/dict/spanish [SE]=/usr/share/dict/swedish
)

# Common words of the languages that Debian has no word-list package for.
sample_words() {
  case $1 in
    RU) echo "а без большой быть в весь вода время вот все вы где год говорить город да дело
        день для до дом друг его если есть ещё жизнь за знать и идти из или их как какой
        когда книга который кто мать место мир мочь мы на наш не нет новый ну о один он она
        они от очень первый по под после работа рука с сам свой сказать слово со стать так
        такой там то только ты у уже хороший хотеть человек что это я" ;;
    CZ) echo "a ale ani až být by co čas člověk dítě do dobrý dům den dva hodně i já jak jako
        jeden jen ještě jít k kde když kniha který malý město mít moci můj muset na nebo než
        nový o od on oko po pro práce před při rok ruka s se slovo svět svůj škola tak také
        ten tento ty u už v velký vědět voda však z za země že život" ;;
    SK) echo "a aj ako ale ani až byť čas človek čo deň dieťa do dobrý dom dva ešte ísť ja
        jeden jeho k kde keď kniha ktorý len malý mať mesto môcť môj musieť na nový o od oko
        on po potom práca pre pred pri rok ruka s sa slovo svet svoj škola tak ten tento
        tiež ty u už v veľa veľký vedieť voda však z za zem že život" ;;
    SI) echo "ali beseda biti bo čas da dan danes delo do dober dom dva en hiša hvala iz imeti
        in iti je jutri kot lahko majhen mesto moj na ne nov oko pa po pri priti prosim roka
        s samo se še šola srce tri tudi tvoj v včeraj velik vedeti videti voda z za zemlja
        že življenje človek govoriti leto otrok prijatelj" ;;
    ZA) echo "aan al as baie boek by dag dankie dat die dit en ek gaan gister goed groot hand
        het hond huis hulle is jaar jy kan kat kind klein kom kos land lewe maar man mens
        met moet môre na nie nog oog ook op om ons praat sal see sien skool so stad sy te tyd
        uit van vandag vir vrou was wat water weet werk woord word" ;;
    *) return 1 ;;
  esac
}

need_file() {  # FILE HINT
  [ -f "$1" ] || die "missing $1 ($2)"
}

# A fingerprint of this script and the given input files (name, size, time).
fingerprint() {
  { sha256sum <"$self"; for f in "$@"; do stat -L -c '%n %s %Y' -- "$f"; done; } |
    sha256sum | cut -d' ' -f1
}

# make_archive NAME FILLER [INPUT...]: places the archive NAME into the new folder. It is taken
# from the cache when its inputs are unchanged; otherwise FILLER CONTENT_FOLDER NAME fills an
# empty folder (with files or links to files) and the folder is zipped.
rebuilt=0
make_archive() {
  local name=$1 filler=$2 stamp content
  shift 2
  stamp=$(fingerprint "$@")
  if [ ! -f "$cache/$name" ] || [ "$(cat -- "$cache/$name.stamp" 2>/dev/null)" != "$stamp" ]; then
    content="$work/$name"
    rm -rf -- "$content" "${cache:?}/$name" "$cache/$name.stamp" "$cache/$name.part"
    mkdir -p -- "$content"
    "$filler" "$content" "$name"
    # Generated files carry this script's time, so that unchanged content gives equal archives.
    find "$content" -type f -exec touch -r "$self" {} +
    # Fast compression keeps a rebuild quick (the Polish list alone is 60 MB).
    (cd -- "$content" && find -L . -type f -printf '%P\n' | LC_ALL=C sort |
      zip -X -q -1 -@ "$cache/$name.part")
    mv -- "$cache/$name.part" "$cache/$name"
    echo "$stamp" >"$cache/$name.stamp"
    rebuilt=$((rebuilt + 1))
  fi
  cp -- "$cache/$name" "$next/$name"
}

# --- Carrying the libraries ---------------------------------------------------------------

declare -A base_library host_library
while read -r soname package; do
  case $soname in ''|'#'*|floor) ;; *) base_library[$soname]=1 ;; esac
done <"$base_list"
while read -r soname path; do
  [ -n "${host_library[$soname]:-}" ] || host_library[$soname]=$path
done < <(ldconfig -p | awk '/\(libc6,x86-64/ { print $1, $NF }')

needed_libraries() {  # ELF_FILE
  readelf -dW -- "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p'
}

# ship_elf SOURCE TARGET MODE RUNPATH: a stripped copy whose debug information, if any, goes
# to the debug folder; RUNPATH empty leaves none.
ship_elf() {
  local relative=${2#"$next"/} kept
  kept="$debug/${relative#"$work"/}.debug"
  install -D -m "$3" -- "$1" "$2"
  if readelf -SW -- "$2" | grep -q ' \.debug_info '; then
    mkdir -p -- "$(dirname -- "$kept")"
    objcopy --only-keep-debug -- "$2" "$kept"
    strip --strip-all -- "$2"
    objcopy --add-gnu-debuglink="$kept" -- "$2"
  else
    strip --strip-unneeded -- "$2"
  fi
  [ -z "$4" ] || patchelf --set-rpath "$4" "$2"
}

# ship_libraries FOLDER ELF_FILE: every library the file needs, and theirs, into FOLDER/lib/
# unless it is a base library or already there.
ship_libraries() {
  local library source
  for library in $(needed_libraries "$2"); do
    [ -z "${base_library[$library]:-}" ] && [ ! -e "$1/lib/$library" ] || continue
    source=${host_library[$library]:-}
    [ -n "$source" ] || die "$library, needed by ${2#"$work"/}, is not on this machine"
    ship_elf "$(realpath -- "$source")" "$1/lib/$library" 644 '$ORIGIN'
    ship_libraries "$1" "$1/lib/$library"
  done
}

# bundle FOLDER NAME=PROGRAM...: the programs under their names with every library and Qt
# plugin they load and the qt.conf that points Qt at the plugins.
bundle() {
  local folder=$1 entry plugin plugin_folder library
  shift
  plugin_folder=$(qtpaths6 --query QT_INSTALL_PLUGINS)
  for entry in "$@"; do
    ship_elf "${entry#*=}" "$folder/${entry%%=*}" 755 '$ORIGIN/lib'
    ship_libraries "$folder" "$folder/${entry%%=*}"
  done
  for plugin in "${qt_plugins[@]}"; do
    ship_elf "$plugin_folder/$plugin" "$folder/plugins/$plugin" 644 '$ORIGIN/../../lib'
    ship_libraries "$folder" "$folder/plugins/$plugin"
  done
  for library in "${loaded_by_name[@]}"; do
    ship_elf "$(realpath -- "${host_library[$library]}")" "$folder/lib/$library" 644 '$ORIGIN'
    ship_libraries "$folder" "$folder/lib/$library"
  done
  printf '[Paths]\nPrefix = .\nPlugins = plugins\n' >"$folder/qt.conf"
}

# --- The archives ---------------------------------------------------------------------------

fill_product() {
  bundle "$1" QUINDOR.EXE="$product_program"
  install -m 644 -- "$font_folder/tahoma.ttf" "$1/TAHOMA.TTF"
  install -m 644 -- "$font_folder/tahomabd.ttf" "$1/TAHOMABD.TTF"
  cat >"$1/README.TXT" <<'TEXT'
Quindor 1.2 - spell checking for the Marlo suite

QUINDOR.EXE shows the screen language chosen at installation (MARLO.INI, section
[UserChoice], key MarloLanguage) and the dictionaries installed in the QUINDOR folder with
the number of words in each. "QUINDOR.EXE --print" writes the same to standard output.

TAHOMA.TTF and TAHOMABD.TTF are the Tahoma faces of the program's windows. Where Tahoma is
missing, the setup installs them as fonts and removes them from this folder.

Further dictionaries are added by running the setup again and checking them.
TEXT
  "$repo/tools/check-distribution.sh" "$1" || die "the product's folder fails its check"
}

fill_dictionary() {
  local code=${2%.ZIP} source
  source=${wordlist[$code]:-}
  if [ -z "$source" ]; then
    sample_words "$code" | tr -s '[:space:]' '\n' | sed '/^$/d' | LC_ALL=C.UTF-8 sort -u >"$1/$code.DIC"
  elif iconv -f UTF-8 -t UTF-8 -- "$source" >/dev/null 2>&1; then
    ln -s -- "$source" "$1/$code.DIC"
  else
    # Some lists are still in Latin-1; the product reads UTF-8.
    iconv -f ISO-8859-1 -t UTF-8 -- "$source" >"$1/$code.DIC"
  fi
}

help_page() {  # FILE TITLE BODY
  printf '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>%s</title></head>\n' "$2" >"$1"
  printf '<body>\n<h1>%s</h1>\n%s\n<p><a href="INDEX.HTM">Contents</a></p>\n</body></html>\n' \
    "$2" "$3" >>"$1"
}

fill_help() {
  local rows="" code
  for code in "${codes[@]}"; do
    rows+="<tr><td>$code</td><td>${language[$code]}</td><td>$code.DIC</td></tr>"$'\n'
  done
  help_page "$1/INDEX.HTM" "Quindor help" '<ul>
<li><a href="INSTALL.HTM">Installing and removing Quindor</a></li>
<li><a href="DICTS.HTM">Dictionaries</a></li>
</ul>'
  help_page "$1/INSTALL.HTM" "Installing and removing Quindor" '<p>Start the setup program
from the distribution folder. Choose <b>Install</b>, the screen language and the folder,
one or more dictionaries and the shortcuts you want, then press <b>Install</b>.</p>
<p>The screen language is kept in MARLO.INI in the installation folder. To remove Quindor,
start the setup program again and choose <b>Uninstall</b>: it deletes the shortcuts and the
installation folder with everything in it.</p>'
  help_page "$1/DICTS.HTM" "Dictionaries" "<p>Every dictionary is a word list, one word a line,
in the QUINDOR folder of the installation.</p>
<table>
<tr><th>Code</th><th>Language</th><th>File</th></tr>
$rows</table>"
}

check_distribution() {
  local target zip code output
  for zip in "$dist"/*.ZIP; do
    unzip -tqq "$zip" || die "damaged archive $zip"
  done
  for code in "${codes[@]}"; do
    [ "$(unzip -Z1 "$dist/$code.ZIP")" = "$code.DIC" ] ||
      die "$code.ZIP must hold $code.DIC alone"
  done
  target=$(mktemp -d "${TMPDIR:-/tmp}/quindor check.XXXXXX")
  # The extractor's command lines as the setup runs them.
  "$dist/unzip" -d "$target" -o "$dist/QUINDOR.ZIP" >/dev/null
  "$dist/unzip" -d "$target/QUINDOR" -o "$dist/UK.ZIP" >/dev/null
  "$dist/unzip" -d "$target/QUINDOR" -o "$dist/RU.ZIP" >/dev/null
  printf '[UserChoice]\r\nMarloLanguage=DK\r\nSpellLanguage=DK\r\n' >"$target/MARLO.INI"
  output=$("$target/QUINDOR.EXE" --print) || { rm -rf -- "$target"; die "QUINDOR.EXE failed"; }
  rm -rf -- "$target"
  echo "$output"
  grep -q '^Screen language: Dansk (DK)$' <<<"$output" || die "QUINDOR.EXE missed the language"
  grep -q '^Dictionaries: 2$' <<<"$output" || die "QUINDOR.EXE missed the dictionaries"
  grep -q '^  RU\.DIC  Russian  [1-9][0-9]* words$' <<<"$output" || die "RU.DIC not counted"
  echo "Check passed."
}

need_file "$setup_program" "build the target quindor-setup first"
need_file "$product_program" "build the target quindor-demo first"
need_file "$extractor" "install the package unzip: tools/install-deps.sh"
command -v patchelf >/dev/null || die "install the package patchelf: tools/install-deps.sh"
need_file "$font_folder/tahoma.ttf" "install the package fonts-wine: tools/install-deps.sh"
need_file "$font_folder/tahomabd.ttf" "install the package fonts-wine: tools/install-deps.sh"
for code in "${codes[@]}"; do
  [ -z "${wordlist[$code]:-}" ] ||
    need_file "${wordlist[$code]}" "install the package ${package[$code]}: tools/install-deps.sh"
done

# One run at a time per build folder.
exec 9>"$build/dist.lock"
flock 9
trap 'rm -rf -- "$next" "$work" "$tarball.part"' EXIT
rm -rf -- "$next" "$work"
mkdir -p -- "$next" "$work" "$cache"

bundle "$next" setup="$setup_program" unzip="$extractor"
make_archive QUINDOR.ZIP fill_product "$product_program" "$font_folder/tahoma.ttf" \
  "$font_folder/tahomabd.ttf" "$base_list" "${host_library[libQt6Core.so.6]}"
for code in "${codes[@]}"; do
  make_archive "$code.ZIP" fill_dictionary ${wordlist[$code]:+"${wordlist[$code]}"}
done
make_archive HTMLhelp.ZIP fill_help
"$repo/tools/check-distribution.sh" "$next" || die "the distribution fails its check"

# The file to hand out: the folder alone, its modes kept, owned by nobody in particular.
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$(stat -c %Y -- "$self")" \
  --transform="s,^dist\.new,$name," -C "$build" -czf "$tarball.part" dist.new
mv -- "$tarball.part" "$tarball"

rm -rf -- "$dist.old"
if [ -e "$dist" ]; then mv -- "$dist" "$dist.old"; fi
mv -- "$next" "$dist"
rm -rf -- "$dist.old"

total=$(du -cb -- "$dist"/*.ZIP | awk 'END { printf "%.1f", $1 / 1e6 }')
echo "Demo distribution laid out in $dist: $(( ${#codes[@]} + 2 )) archives, $total MB" \
  "($rebuilt made anew); $(du -sb -- "$dist/lib" | awk '{ printf "%.1f", $1 / 1e6 }') MB of" \
  "libraries; $tarball $(stat -c %s -- "$tarball" | awk '{ printf "%.1f", $1 / 1e6 }') MB."
[ "$check" = 0 ] || check_distribution
