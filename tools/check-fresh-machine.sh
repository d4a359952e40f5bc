#!/usr/bin/env bash
# Proves that the file handed out runs on a fresh desktop machine without Qt: unpacks
# BUILD_DIR/quindor-*-linux-*.tar.gz into a Debian 12 root that holds only the base libraries
# (tools/fresh-root.sh), checks that every shipped ELF file resolves there, then, as an
# ordinary user in a chroot whose distribution folder is mounted read-only, drives the setup
# program on an Xvfb display of this machine with clicks at the pages' designed positions:
# the welcome page, a whole install of one dictionary, "Start Quindor" (the installed product
# must show its window), and the uninstall. Last the setup's welcome page must come up under
# a headless Wayland compositor.
#
# Usage: tools/check-fresh-machine.sh [BUILD_DIR]      (as root; BUILD_DIR defaults to build/)
# Environment: QUINDOR_CHECK_DISPLAY=N uses display :N (default: the first free one).
set -euo pipefail

die() { echo "check-fresh-machine: $*" >&2; exit 1; }
say() { echo "check-fresh-machine: $*"; }

repo=$(dirname -- "$(dirname -- "$(realpath -- "${BASH_SOURCE[0]}")")")
[ $# -le 1 ] || die "usage: $0 [BUILD_DIR]"
build=$(cd -- "${1:-$repo/build}" && pwd -P)
[ "$(id -u)" -eq 0 ] || die "the chroot needs root"
for tool in Xvfb xdotool weston; do
  command -v "$tool" >/dev/null || die "install $tool: tools/install-deps.sh"
done
tarballs=("$build"/quindor-*-linux-*.tar.gz)
[ -f "${tarballs[0]}" ] || die "no tarball in $build: build the target distribution first"
tarball=${tarballs[0]}
name=$(basename -- "$tarball" .tar.gz)
start=$(date +%s)

root=$("$repo/tools/fresh-root.sh" "$build")
say "root ready after $(($(date +%s) - start)) s"

# The root is what a desktop without Qt has: no Qt, no unzip, no fonts but DejaVu.
extra=$(chroot "$root" dpkg-query -W -f='${Package}\n' |
  grep -E '^(libqt|qt6|unzip$|fonts-)' | grep -vx fonts-dejavu-core || true)
[ -z "$extra" ] || die "the root holds what a fresh machine lacks: $extra"

# Each run starts from a fresh home and an empty /tmp; the user can write nowhere else.
user=4242
home="$root/home/quindor"
rm -rf -- "$root/opt/$name" "$home" "${root:?}"/tmp/* "$root"/tmp/.[!.]*
mkdir -p -- "$root/opt" "$root/tmp/.X11-unix" "$root/run/user/$user"
cp -a -- "$root/etc/skel" "$home"
mkdir -p -- "$home/.local/share"           # which a desktop session makes at the first login
chown -R "$user:$user" -- "$home" "$root/run/user/$user"
chmod 1777 -- "$root/tmp"
chmod 700 -- "$root/run/user/$user"

# The tarball holds the distribution folder alone, with the modes it was laid out with.
top=$(tar -tzf "$tarball" | cut -d/ -f1 | sort -u)
[ "$top" = "$name" ] || die "the tarball must hold the folder $name alone, not: $top"
tar -xzf "$tarball" -C "$root/opt"
listing() { (cd -- "$1" && find . -printf '%P %y %m %s\n' | LC_ALL=C sort); }
diff <(listing "$build/dist") <(listing "$root/opt/$name") >/dev/null ||
  die "the tarball's folder differs from $build/dist (files or modes)"

# Every shipped ELF file, the archived product's included, resolves inside the root.
product="$root/tmp/product"
mkdir -p -- "$product"
unzip -q "$root/opt/$name/QUINDOR.ZIP" -d "$product"
unresolved=$(cd -- "$root" && find "opt/$name" tmp/product -type f | while read -r elf; do
  [ "$(head -c 4 -- "$elf" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
  chroot "$root" ldd "/$elf" 2>&1 | sed -n "s|^\(.*not found.*\)$|/$elf: \1|p"
done)
rm -rf -- "$product"
[ -z "$unresolved" ] || die "libraries not found in the root:"$'\n'"$unresolved"
say "every shipped ELF file resolves in the root"

display=${QUINDOR_CHECK_DISPLAY:-}
xvfb_pid="" weston_pid=""
cleanup() {
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  [ -z "$weston_pid" ] || kill "$weston_pid" 2>/dev/null || true
  rm -rf -- "${runtime:-}"
}
trap cleanup EXIT
# The pages' designed screen, so that the designed positions are the screen's.
if [ -n "$display" ]; then
  Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >"$build/fresh-xvfb.log" 2>&1 &
  xvfb_pid=$!
  sleep 1
else
  fd_file=$(mktemp)
  Xvfb -displayfd 4 -screen 0 800x600x24 -nolisten tcp 4>"$fd_file" >"$build/fresh-xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$fd_file" ] && break; sleep 0.1; done
  display=$(tr -dc 0-9 <"$fd_file")
  rm -f -- "$fd_file"
fi
[ -n "$display" ] && [ -S "/tmp/.X11-unix/X$display" ] || die "Xvfb did not start (see $build/fresh-xvfb.log)"
export DISPLAY=":$display"

runtime=$(mktemp -d)
chown "$user:$user" -- "$runtime"
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=wayland-quindor \
  --width=800 --height=600 --idle-time=0 >"$build/fresh-weston.log" 2>&1 &
weston_pid=$!

# as_user COMMAND...: runs in the chroot as the ordinary user with a desktop's environment,
# the X socket and the Wayland socket mounted, the distribution folder read-only. Call it in a
# sub-shell (with & or in a pipeline): it becomes the program, so $! is the program's id.
as_user() {
  exec unshare --mount --propagation private -- sh -c '
    set -e
    root=$1; folder=$2; runtime=$3; user=$4; shift 4
    mount -t proc proc "$root/proc"
    mount --bind /dev "$root/dev"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    mount --bind "$runtime" "$root/run/user/$user"
    mount --bind "$root$folder" "$root$folder"
    mount -o remount,bind,ro "$root$folder"
    exec chroot --userspec="$user:$user" --groups="$user" "$root" env -i HOME=/home/quindor \
      USER=quindor LOGNAME=quindor PATH=/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="/run/user/$user" \
      "$@"' as_user "$root" "/opt/$name" "$runtime" "$user" "$@"
}

# window TITLE: the visible window of that title, waited for up to 30 s.
window() {
  timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 ||
    die "no window \"$1\" appeared"
}
click() {  # TITLE X Y: a click at the page's client position
  local id
  id=$(window "$1")
  sleep 0.3
  xdotool mousemove --window "$id" "$2" "$3" click 1
  sleep 0.5
}
# Presses "Start Quindor" until the product's window shows: a busy machine may take the first
# click before the finish page answers.
start_product() {
  local id
  for _ in $(seq 10); do
    id=$(xdotool search --onlyvisible --name '^Finishing Marlo installation$' 2>/dev/null | head -n 1 || true)
    [ -z "$id" ] || xdotool mousemove --window "$id" 80 312 click 1 2>/dev/null || true
    timeout 3 xdotool search --sync --onlyvisible --name '^Quindor 1.2$' >/dev/null 2>&1 && return 0
  done
  die "\"Start Quindor\" showed no product window"
}
setup_ended() {  # PID: waits up to 60 s for the setup program to end with status 0
  local status=0
  timeout 60 tail --pid="$1" -f /dev/null || die "the setup program did not end"
  wait "$1" || status=$?
  [ "$status" -eq 0 ] || die "the setup program ended with status $status"
}

setup_log="$build/fresh-setup.log"
setup="/opt/$name/setup"

say "install on $DISPLAY"
as_user env DISPLAY="$DISPLAY" "$setup" >"$setup_log" 2>&1 &
pid=$!
welcome="Welcome to the Quindor installation program"
window "$welcome" >/dev/null
say "the welcome page is shown ($(($(date +%s) - start)) s)"
click "$welcome" 309 308                  # Next>
click Installing 309 308                  # the language and the folder as offered: Next>
click Installing 12 48                    # the first dictionary's mark (British English)
click Installing 309 308                  # Next>
click Installing 309 308                  # the shortcuts as offered: Install
window "Finishing Marlo installation" >/dev/null
start_product
product_window=$(window "Quindor 1.2")
say "the installed product shows its window"
setup_ended "$pid"
kill "$(xdotool getwindowpid "$product_window")"
for file in QUINDOR.EXE MARLO.INI QUINDOR/UK.DIC; do
  [ -f "$home/Quindor/$file" ] || die "the install left no $file"
done
for file in Desktop/Quindor.desktop .local/share/applications/Quindor.desktop \
  .local/share/fonts/TAHOMA.TTF .local/share/fonts/TAHOMABD.TTF; do
  [ -f "$home/$file" ] || die "the install made no ~/$file"
done
as_user /home/quindor/Quindor/QUINDOR.EXE --print | grep -q '^Dictionaries: 1$' ||
  die "the installed product does not see its dictionary"

say "uninstall"
as_user env DISPLAY="$DISPLAY" "$setup" >>"$setup_log" 2>&1 &
pid=$!
click "$welcome" 18 256                   # Uninstall
click "$welcome" 309 308                  # UnInstall
xdotool windowfocus --sync "$(window Information)" key Return   # "Yes"
click "Finishing Marlo installation" 264 312  # Finish
setup_ended "$pid"
[ ! -e "$home/Quindor" ] || die "the uninstall left $home/Quindor"
for file in Desktop/Quindor.desktop .local/share/applications/Quindor.desktop; do
  [ ! -e "$home/$file" ] || die "the uninstall left ~/$file"
done

say "Wayland"
for _ in $(seq 50); do [ -S "$runtime/wayland-quindor" ] && break; sleep 0.1; done
[ -S "$runtime/wayland-quindor" ] || die "weston did not start (see $build/fresh-weston.log)"
chown "$user:$user" -- "$runtime/wayland-quindor"
as_user env WAYLAND_DISPLAY=wayland-quindor WAYLAND_DEBUG=client "$setup" >"$build/fresh-wayland.log" 2>&1 &
pid=$!
for _ in $(seq 300); do
  grep -q "xdg_toplevel@[0-9]*\.set_title(\"$welcome\")" "$build/fresh-wayland.log" &&
    grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$build/fresh-wayland.log" && break
  sleep 0.1
done
grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$build/fresh-wayland.log" ||
  die "the welcome page was not drawn under Wayland (see $build/fresh-wayland.log)"
# Nothing outside can press a close box under Wayland: the program must end on SIGTERM.
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 143 ] || die "under Wayland the setup program ended with status $status on SIGTERM"
! grep -q 'connection broke' "$build/fresh-wayland.log" || die "the Wayland connection broke"
say "the welcome page is drawn under Wayland"
say "passed in $(($(date +%s) - start)) s"
