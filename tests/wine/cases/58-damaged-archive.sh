# A damaged embedded archive: the saver shows the error in a message box with
# the application's title, not full screen, and ends when the box is closed.
# Uses the helpers of 50-saver.sh; every wait is bounded.

if [ ! -f "$saver_bin/Pyrelume.scr" ] || [ ! -f "$native_dir/data/data.rfa" ]; then
  fail "damaged archive: Pyrelume.scr and data.rfa are built"
elif ! wine_x_start; then
  fail "damaged archive: Xvfb starts"
else
  mkdir -p "$work/damaged"
  # Flip bytes of the archive's directory stream inside a copy of the program.
  if python3 - "$saver_bin/Pyrelume.scr" "$native_dir/data/data.rfa" "$work/damaged/Pyrelume.scr" <<'PY'
import sys
program = bytearray(open(sys.argv[1], 'rb').read())
archive = open(sys.argv[2], 'rb').read()
at = program.find(archive[:256])
if at < 0:
    sys.exit("the archive was not found inside the program")
for k in range(6, 64):
    program[at + k] ^= 0x5A
open(sys.argv[3], 'wb').write(program)
PY
  then
    (cd "$work/damaged" && exec timeout 60 wine "$work/damaged/Pyrelume.scr" /s >/dev/null 2>&1) &
    saver_pid=$!
    box=""
    for i in $(seq 1 60); do
      box=$(xwininfo -root -tree 2>/dev/null | grep '"Pyrelume": ("pyrelume.scr"' | grep -v ' 1x1+' | head -n1 || true)
      [ -n "$box" ] && break
      sleep 0.25
    done
    fullscreen=$(xwininfo -root -tree 2>/dev/null | grep -ci '"pyrelume.scr".*1024x768+0+0' || true)
    if [ -n "$box" ] && [ "$fullscreen" = 0 ]; then
      pass "damaged archive: a message box titled Pyrelume, not full screen"
    else
      fail "damaged archive: a message box titled Pyrelume, not full screen (box: ${box:-none}, full-screen windows: $fullscreen)"
    fi
    # Without a window manager the box may not have the keyboard: focus it, and
    # press again (bounded) until the program has gone.
    for attempt in 1 2 3 4 5; do
      id=$(printf '%s\n' "$box" | awk '{print $1}')
      [ -n "$id" ] && xdotool windowfocus "$id" 2>/dev/null || true
      xdotool key Return 2>/dev/null || true
      saver_wait_exit "$saver_pid" 2 >/dev/null && break
      box=$(xwininfo -root -tree 2>/dev/null | grep '"Pyrelume": ("pyrelume.scr"' | grep -v ' 1x1+' | head -n1 || true)
    done
    if saver_wait_exit "$saver_pid" 2 >/dev/null; then
      pass "damaged archive: the program ends when the box is closed"
    else
      fail "damaged archive: the program ends when the box is closed"
      kill "$saver_pid" 2>/dev/null || true
    fi
    wait "$saver_pid" 2>/dev/null || true
  else
    fail "damaged archive: a damaged copy of the program can be made"
  fi
  wine_x_stop
fi
