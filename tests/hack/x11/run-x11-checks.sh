#!/usr/bin/env bash
# The display hack under X, as a user meets it:
#  1. the real xscreensaver daemon, run as an ordinary user (it refuses to run
#     hacks as root), starts pyrelume from its programs list on activation; a
#     root-window screenshot shows the fire; deactivation ends the hack at once;
#  2. -window-id draws into a window of another process, follows its resize
#     and ends when that window is destroyed; -root with the sound asked for on
#     a missing sound card draws silently and does not end on input;
#  3. SIGTERM ends the hack within a second, in its own window with sound on;
#     a part of its window covered by another and uncovered is drawn again;
#  4. on a display with two monitors (Xorg's dummy driver; root only) the daemon
#     runs one process per monitor and exactly one of them plays the sound.
# usage: run-x11-checks.sh PYRELUME HACK_WINDOW_OWNER      (exit 77: skipped)
set -euo pipefail
hack_built=$1
owner=$2
for tool in Xvfb xscreensaver xscreensaver-command import python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d /tmp/pyrelume-x11.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The hack is copied where the test user can run it (it carries its archive).
hack=$work/pyrelume
cp "$hack_built" "$hack"
chmod 755 "$hack"
home=$work/home
rundir=$work/run
mkdir -p "$home" "$rundir"

if [ "$(id -u)" -eq 0 ]; then
  user=pyrelume-test
  id -u "$user" >/dev/null 2>&1 || useradd -M -d /nonexistent -s /usr/sbin/nologin "$user"
  chown "$user" "$home" "$rundir"
  as_user() { runuser -u "$user" -- env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$rundir" "$@"; }
else
  as_user() { env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$rundir" "$@"; }
fi
chmod 700 "$rundir"
# The sound goes to a file: ALSA's file plugin over its null device.
cat >"$home/.asoundrc" <<EOF
pcm.!default { type file slave.pcm "null" file "$rundir/sound.raw" format "raw" }
EOF

start_xvfb() {
  rm -f "$work/display"
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
}

# fire_pixels NAME X Y W H [MIN]: takes screenshots of the root window's area
# and counts their pixels of a flame's colour (bright orange to yellow, much
# more red than blue; the bricks, the mantel and black have none). The flames
# flicker: up to five shots a second apart, the first with MIN such pixels
# counts, else the most seen. $PYRELUME_X11_SHOTS keeps the last shot there.
# A seventh argument "lit" counts every pixel that is not black instead.
fire_pixels() {
  local best=0 n
  for _ in 1 2 3 4 5; do
    import -window root -crop "${4}x${5}+${2}+${3}" "$work/$1.png" 2>/dev/null || true
    n=$(convert "$work/$1.png" -depth 8 rgb:- 2>/dev/null | python3 -c '
import sys
px, lit = sys.stdin.buffer.read(), sys.argv[1] == "lit"
print(sum(1 for i in range(0, len(px) - 2, 3)
          if (px[i] + px[i + 1] + px[i + 2] >= 60 if lit else
              px[i] >= 150 and px[i + 1] >= 40 and px[i + 2] <= 70 and px[i] - px[i + 2] >= 110)))' "${7-fire}")
    [ "$n" -gt "$best" ] && best=$n
    [ "$best" -ge "${6:-1}" ] && break
    sleep 1
  done
  [ -z "${PYRELUME_X11_SHOTS-}" ] || cp "$work/$1.png" "$PYRELUME_X11_SHOTS/" 2>/dev/null || true
  echo "$best"
}

# ended PID: true when the process is gone or a zombie.
ended() { [ ! -e "/proc/$1" ] || grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null; }

# usecs: the wall clock in microseconds.
usecs() { local t=${EPOCHREALTIME/./}; echo "$((10#$t))"; }

# wait_end PID LIMIT_MS: prints the seconds until PID ended; fails after LIMIT_MS.
wait_end() {
  local start now
  start=$(usecs)
  while ! ended "$1"; do
    now=$(usecs)
    [ $((now - start)) -lt $(($2 * 1000)) ] || fail "pid $1 still runs $(($2))ms later"
    sleep 0.02
  done
  now=$(usecs)
  printf '%d.%02d\n' $(((now - start) / 1000000)) $(((now - start) / 10000 % 100))
}

hack_pids() { pgrep -f "^$hack " || true; }

xss_config() {  # xss_config ARGS: the user's ~/.xscreensaver running the hack
  cat >"$home/.xscreensaver" <<EOF
timeout: 0:30:00
cycle: 0:00:00
lock: False
mode: one
selected: 0
splash: False
fade: False
unfade: False
dpmsEnabled: False
programs: GL: $hack -root $1 \\n
EOF
  [ "$(id -u)" -ne 0 ] || chown "$user" "$home/.xscreensaver"
}

# kill_tree PID: kills PID and every process below it.
kill_tree() {
  local c
  for c in $(pgrep -P "$1" 2>/dev/null); do kill_tree "$c"; done
  kill -KILL "$1" 2>/dev/null || true
}

# start_daemon: starts the user's xscreensaver daemon and waits until it
# answers. A daemon seen once to stall after "running in process" on a busy
# machine is given 20 s, then ended and started once more; its log is shown.
start_daemon() {
  local try
  for try in 1 2; do
    as_user xscreensaver -no-splash -verbose >"$work/xscreensaver.log" 2>&1 &
    pids+=($!)
    daemon_pid=$!
    for _ in $(seq 1 100); do
      as_user xscreensaver-command -version >/dev/null 2>&1 && return
      ended "$daemon_pid" && break
      sleep 0.2
    done
    echo "note: the xscreensaver daemon did not answer (try $try); its log:" >&2
    sed 's/^/  | /' "$work/xscreensaver.log" >&2
    kill_tree "$daemon_pid"
    wait "$daemon_pid" 2>/dev/null || true
  done
  fail "the xscreensaver daemon did not start"
}

# wait_hacks N: waits until N hack processes run; prints their pids.
wait_hacks() {
  for _ in $(seq 1 100); do
    [ "$(hack_pids | wc -l)" -ge "$1" ] && { hack_pids; return; }
    sleep 0.1
  done
  fail "expected $1 pyrelume processes, found $(hack_pids | wc -l); $(tail -5 "$work/xscreensaver.log")"
}

stop_daemon() {
  as_user xscreensaver-command -exit >/dev/null 2>&1 || true
  wait_end "$daemon_pid" 5000 >/dev/null || true
}

# ---- 1. The xscreensaver daemon runs the hack from its programs list.
start_xvfb
xss_config ""
start_daemon
as_user xscreensaver-command -activate >/dev/null
pid=$(wait_hacks 1)
sleep 4
fire=$(fire_pixels daemon 0 0 1024 768 1000)
[ "$fire" -ge 1000 ] || fail "the root window shows no fire under xscreensaver ($fire flame pixels)"
[ "$(id -u)" -ne 0 ] || [ "$(ps -o user= -p "$pid")" = "$user" ] || fail "the hack does not run as $user"
as_user xscreensaver-command -deactivate >/dev/null
took=$(wait_end "$pid" 2000)
echo "ok 1: xscreensaver ran pyrelume -root ($fire flame pixels); deactivation ended it in ${took}s"
stop_daemon

# ---- 2. -window-id into a window of another process.
mkfifo "$work/owner.in"
"$owner" <"$work/owner.in" >"$work/owner.out" &
owner_pid=$!
pids+=($owner_pid)
exec 3>"$work/owner.in"
for _ in $(seq 1 50); do [ -s "$work/owner.out" ] && break; sleep 0.1; done
wid=$(head -n1 "$work/owner.out")
"$hack" -window-id "$wid" 2>"$work/window-id.err" &
pid=$!
pids+=($pid)
sleep 4
inside=$(fire_pixels window-id 100 50 640 480 400)
outside=$(fire_pixels outside 760 0 264 768 1)
[ "$inside" -ge 400 ] || fail "no fire in the other process's window ($inside flame pixels)"
[ "$outside" -eq 0 ] || fail "the hack drew outside the window ($outside flame pixels)"
# A resize: the picture follows the window's new size (a stale viewport would
# leave the new right part black).
echo "resize 960 600" >&3
sleep 2
grown=$(fire_pixels grown 840 50 220 600 60000 lit)
[ "$grown" -ge 60000 ] || fail "after the resize the new part of the window stays dark ($grown lit pixels)"
echo "destroy" >&3
took=$(wait_end "$pid" 2000)
wait "$pid" && rc=0 || rc=$?
[ "$rc" -eq 0 ] || fail "pyrelume -window-id ended with $rc after its window went: $(cat "$work/window-id.err")"
exec 3>&-
echo "ok 2: -window-id $wid drew there ($inside flame pixels, none outside), followed a resize; ended ${took}s after the window was destroyed"

# ---- 2b. -root with the sound asked for on a missing sound card: the picture
# runs silently, one line says why, ALSA's own messages stay silent, and input
# does not end the hack (the daemon owns that). Without a card on the machine
# ALSA's default configuration is what fails (and what prints when let).
mkdir -p "$work/nocard"
grep -q '^ *[0-9]' /proc/asound/cards 2>/dev/null && echo 'pcm.!default { type hw card 9 }' >"$work/nocard/.asoundrc"
HOME="$work/nocard" "$hack" -root -sound 2>"$work/nocard.err" &
pid=$!
pids+=($pid)
sleep 2
fire=$(fire_pixels nocard 0 0 1024 768 1000)
[ "$fire" -ge 1000 ] || fail "no fire with a missing sound card ($fire flame pixels): $(cat "$work/nocard.err")"
[ "$(wc -l <"$work/nocard.err")" -eq 1 ] && grep -q '^pyrelume: sound is off: ' "$work/nocard.err" ||
  fail "without a sound card one line should say the sound is off, not: $(cat "$work/nocard.err")"
if command -v xdotool >/dev/null; then
  xdotool mousemove 300 300 click 1 key space key Escape key q
  sleep 1
  ended "$pid" && fail "pyrelume -root ended on input"
fi
kill -TERM "$pid"
wait_end "$pid" 1000 >/dev/null
echo "ok 2b: -root -sound without a sound card draws ($fire flame pixels), says \"$(cat "$work/nocard.err")\" and ignores keys and the mouse"

# ---- 3. SIGTERM in its own window, with the sound playing.
rm -f "$rundir/sound.raw"
as_user "$hack" -window -sound >/dev/null 2>"$work/window.err" &
pid=$!
pids+=($pid)
sleep 4
fire=$(fire_pixels window 0 0 800 600 600)
[ "$fire" -ge 600 ] || fail "no fire in the hack's own window ($fire flame pixels)"
[ -s "$rundir/sound.raw" ] || fail "-sound played nothing: $(cat "$work/window.err")"
hpid=$(hack_pids | head -n1)
kill -TERM "$hpid"
took=$(wait_end "$hpid" 1000)
echo "ok 3: -window -sound ($fire flame pixels, sound written); SIGTERM ended it in ${took}s"

# ---- 3b. Covered and uncovered: the hack draws each frame only where the fire
# changed it, so a part that another window covered (the masonry above the
# mantel, which never changes) must be drawn again when that window goes.
"$hack" -window 2>"$work/cover.err" &
pid=$!
pids+=($pid)
sleep 3
rm -f "$work/cover.in"
mkfifo "$work/cover.in"
"$owner" <"$work/cover.in" >"$work/cover.out" &
pids+=($!)
exec 4>"$work/cover.in"
sleep 2
covered=$(fire_pixels covered 100 50 640 90 1 lit)
echo "unmap" >&4
sleep 2
uncovered=$(fire_pixels uncovered 100 50 640 90 50000 lit)
exec 4>&-
[ "$covered" -lt 5000 ] || fail "the covering window did not cover the hack ($covered lit pixels under it)"
[ "$uncovered" -ge 50000 ] || fail "after the covering window went, its part of the fireplace stays dark ($uncovered of 57600 pixels lit)"
kill -TERM "$pid"
wait_end "$pid" 1000 >/dev/null
echo "ok 3b: -window covered ($covered lit pixels under the other window) and uncovered ($uncovered of 57600 lit again)"
kill "$xvfb_pid" 2>/dev/null || true

# ---- 4. Two monitors: one process per monitor, one of them plays.
if [ "$(id -u)" -ne 0 ] || ! command -v Xorg >/dev/null || [ ! -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] ||
   ! command -v xrandr >/dev/null; then
  echo "ok 4: skipped (needs root, Xorg with the dummy driver and xrandr)"
  exit 0
fi
n=""
for d in $(seq 61 69); do
  if [ ! -e "/tmp/.X$d-lock" ] && [ ! -e "/tmp/.X11-unix/X$d" ]; then n=$d; break; fi
done
[ -n "$n" ] || { echo "ok 4: skipped (no free display :61 to :69)"; exit 0; }
xorg_pid=$("$(dirname "${BASH_SOURCE[0]}")/../../common/two-monitors.sh" ":$n" 1024x768 800x600 2>/dev/null | tail -n1) ||
  { echo "ok 4: skipped (the dummy driver gave no second monitor)"; exit 0; }
pids+=("$xorg_pid")
export DISPLAY=":$n"
rm -f "$rundir/sound.raw"
xss_config "-sound"
start_daemon
as_user xscreensaver-command -activate >/dev/null
mapfile -t two < <(wait_hacks 2)
sleep 4
left=$(fire_pixels left 0 0 1024 768 1000)
right=$(fire_pixels right 1024 0 800 600 600)
[ "$left" -ge 1000 ] && [ "$right" -ge 600 ] || fail "fire on both monitors expected ($left and $right flame pixels)"
holders=0
for p in "${two[@]}"; do
  ls -l "/proc/$p/fd" 2>/dev/null | grep -q "pyrelume-sound-" && holders=$((holders + 1))
done
[ "$holders" -eq 1 ] || fail "$holders of the 2 processes hold the display's sound lock"
[ -s "$rundir/sound.raw" ] || fail "neither process played"
as_user xscreensaver-command -deactivate >/dev/null
for p in "${two[@]}"; do wait_end "$p" 2000 >/dev/null; done
echo "ok 4: two monitors: ${#two[@]} processes ($left and $right flame pixels), one holds the sound and played"
stop_daemon
