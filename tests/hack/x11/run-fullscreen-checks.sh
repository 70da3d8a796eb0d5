#!/usr/bin/env bash
# pyrelume -fullscreen as a desktop user meets it:
#  1. the settings file: a bad line stops -fullscreen with the file and line
#     named; under xscreensaver (-root) the file is not read;
#  2. at 1024x768 the window covers the screen and shows the fire, the pointer
#     is hidden, shows when the mouse moves and hides again when it rests; q
#     ends it;
#  3. at 1600x900 under a window manager (openbox) it asks for and gets the
#     full-screen state, covers that screen too, and Escape ends it;
#  4. with two monitors (Xorg's dummy driver; root only) it covers the monitor
#     under the pointer and no other.
# usage: run-fullscreen-checks.sh PYRELUME HACK_CURSOR_PROBE      (exit 77: skipped)
# $PYRELUME_X11_SHOTS, when set, keeps the screenshots there.
set -euo pipefail
hack=$1
probe=$2
for tool in Xvfb xdotool xwininfo xprop import convert python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d /tmp/pyrelume-fullscreen.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# No sound card and no settings file unless a check writes one.
export HOME=$work/home XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME" "$XDG_CONFIG_HOME/pyrelume"

start_xvfb() {  # start_xvfb WxH
  rm -f "$work/display"
  Xvfb -displayfd 5 -screen 0 "${1}x24" -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
}

ended() { [ ! -e "/proc/$1" ] || grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null; }
wait_end() {  # wait_end PID SECONDS: fails when PID still runs then
  for _ in $(seq 1 $(($2 * 20))); do ended "$1" && return 0; sleep 0.05; done
  fail "pid $1 still runs $2 s later"
}

# geometry: "X Y W H" of the program's window.
geometry() {
  xwininfo -name Pyrelume 2>/dev/null |
    sed -n 's/.*Absolute upper-left X: *//p; s/.*Absolute upper-left Y: *//p; s/.*Width: *//p; s/.*Height: *//p' |
    tr '\n' ' ' | sed 's/ $//'
}

# wait_window: waits until the program's window is mapped with a picture.
wait_window() {
  for _ in $(seq 1 100); do
    [ -n "$(geometry)" ] && { sleep 2; return; }
    ended "$1" && fail "pyrelume ended: $(cat "$work/err")"
    sleep 0.1
  done
  fail "no Pyrelume window: $(cat "$work/err")"
}

# count NAME X Y W H KIND: pixels of a root-window area that are flame-coloured
# (KIND fire) or not black (KIND lit).
count() {
  import -window root -crop "${4}x${5}+${2}+${3}" "$work/$1.png" 2>/dev/null
  [ -z "${PYRELUME_X11_SHOTS-}" ] || cp "$work/$1.png" "$PYRELUME_X11_SHOTS/fullscreen-$1.png" 2>/dev/null || true
  convert "$work/$1.png" -depth 8 rgb:- | python3 -c '
import sys
px, lit = sys.stdin.buffer.read(), sys.argv[1] == "lit"
print(sum(1 for i in range(0, len(px) - 2, 3)
          if (px[i] + px[i + 1] + px[i + 2] >= 60 if lit else
              px[i] >= 150 and px[i + 1] >= 40 and px[i + 2] <= 70 and px[i] - px[i + 2] >= 110)))' "$6"
}

# covers NAME X Y W H: the window is exactly that area, lit to its corners, with fire.
covers() {
  local g fire c n
  g=$(geometry)
  [ "$g" = "$2 $3 $4 $5" ] || fail "$1: the window is at $g, not $2 $3 $4 $5"
  fire=$(count "$1" "$2" "$3" "$4" "$5" fire)
  [ "$fire" -ge 1000 ] || fail "$1: no fire on the screen ($fire flame pixels)"
  # The picture reaches every corner of the area (40x40 squares, mostly lit).
  for c in "$2 $3" "$(($2 + $4 - 40)) $3" "$2 $(($3 + $5 - 40))" "$(($2 + $4 - 40)) $(($3 + $5 - 40))"; do
    n=$(count corner $c 40 40 lit)
    [ "$n" -ge 1200 ] || fail "$1: the corner at $c is dark ($n of 1600 pixels lit)"
  done
  echo "$fire"
}

# ---- 1. The settings file.
start_xvfb 1024x768
conf=$XDG_CONFIG_HOME/pyrelume/pyrelume.conf
printf '# the living-room fire\nflame-color = orange\n\ndecay = 9\n' >"$conf"
rc=0
timeout 20 "$hack" -fullscreen >/dev/null 2>"$work/err" || rc=$?
[ "$rc" -eq 2 ] || fail "a bad settings file gave exit code $rc: $(cat "$work/err")"
grep -qx "pyrelume: $conf:4: -decay wants a whole number from 1 to 5, not \"9\"" "$work/err" ||
  fail "the error does not name the file and line: $(cat "$work/err")"
"$hack" -root 2>"$work/err" &
pid=$!
pids+=($pid)
sleep 2
ended "$pid" && fail "-root read the settings file: $(cat "$work/err")"
kill -TERM "$pid"
wait_end "$pid" 5
printf 'flame-color = yellow\nnear-view\nsound = off\n' >"$conf"
echo "ok 1: a bad settings line is named ($conf:4) and -root does not read the file"

# ---- 2. 1024x768: the screen covered, the pointer hidden until the mouse moves, q ends it.
xdotool mousemove 500 400
"$hack" -fullscreen 2>"$work/err" &
pid=$!
pids+=($pid)
wait_window "$pid"
fire=$(covers full1024 0 0 1024 768)
[ "$("$probe")" = hidden ] || fail "the pointer shows over the fire at the start: $("$probe")"
xdotool mousemove 520 420
sleep 0.5
shown=$("$probe")
[ "${shown%% *}" = shown ] || fail "the pointer stays hidden after the mouse moved"
sleep 4
[ "$("$probe")" = hidden ] || fail "the pointer does not hide again when the mouse rests"
ended "$pid" && fail "-fullscreen ended on a mouse move"
xdotool key q
wait_end "$pid" 5
wait "$pid" && rc=0 || rc=$?
[ "$rc" -eq 0 ] || fail "q ended -fullscreen with exit code $rc: $(cat "$work/err")"
[ ! -s "$work/err" ] || fail "-fullscreen printed: $(cat "$work/err")"
echo "ok 2: 1024x768 covered ($fire flame pixels); the pointer hidden, $shown after a move, hidden again; q ended it"
kill "$xvfb_pid" 2>/dev/null || true

# ---- 3. 1600x900 under a window manager, Escape.
start_xvfb 1600x900
wm="no window manager"
if command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 1 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
  wm=openbox
fi
"$hack" -fullscreen 2>"$work/err" &
pid=$!
pids+=($pid)
wait_window "$pid"
fire=$(covers full1600 0 0 1600 900)
if [ "$wm" = openbox ]; then
  xprop -name Pyrelume _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN ||
    fail "openbox did not make the window full screen: $(xprop -name Pyrelume _NET_WM_STATE)"
  [ "$(xdotool getwindowfocus getwindowname)" = Pyrelume ] || fail "the window does not have the keyboard under openbox"
fi
xdotool key Escape
wait_end "$pid" 5
echo "ok 3: 1600x900 covered under $wm ($fire flame pixels); Escape ended it"
kill "$xvfb_pid" 2>/dev/null || true

# ---- 4. Two monitors: the one under the pointer.
if [ "$(id -u)" -ne 0 ] || ! command -v Xorg >/dev/null || [ ! -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] ||
   ! command -v xrandr >/dev/null; then
  echo "ok 4: skipped (needs root, Xorg with the dummy driver and xrandr)"
  exit 0
fi
n=""
for d in $(seq 71 79); do
  if [ ! -e "/tmp/.X$d-lock" ] && [ ! -e "/tmp/.X11-unix/X$d" ]; then n=$d; break; fi
done
[ -n "$n" ] || { echo "ok 4: skipped (no free display :71 to :79)"; exit 0; }
xorg_pid=$("$(dirname "${BASH_SOURCE[0]}")/../../common/two-monitors.sh" ":$n" 1024x768 800x600 2>/dev/null | tail -n1) ||
  { echo "ok 4: skipped (the dummy driver gave no second monitor)"; exit 0; }
pids+=("$xorg_pid")
export DISPLAY=":$n"
xdotool mousemove 1300 300
"$hack" -fullscreen 2>"$work/err" &
pid=$!
pids+=($pid)
wait_window "$pid"
fire=$(covers right 1024 0 800 600)
left=$(count left 0 0 1024 768 lit)
[ "$left" -lt 1000 ] || fail "the monitor without the pointer shows the picture too ($left lit pixels)"
xdotool key Escape
wait_end "$pid" 5
echo "ok 4: two monitors: the one under the pointer (1024,0 800x600) covered ($fire flame pixels), the other left alone"
