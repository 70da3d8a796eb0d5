# The Windows platform layer and the screen saver under wine on its own Xvfb.
# First the check programs (WGL context, platform services, message loop and
# windows), then the saver: /s fills the screen with
# a warm picture and ends on a key or a click, Ctrl+PrintScreen saves a
# screenshot, /a shows nothing and exits, /p draws inside a host window and
# ends when that window goes, a second /s ends at once while the first
# keeps running, and a window laid over /s and taken away leaves the whole
# fireplace shown again. Every wait is bounded.
# Sourced by run-wine-tests.sh (uses $work, $win_dir, pass, fail).

saver_bin="$win_dir/bin"
saver_checks="$win_dir/tests/win32"

# ---- helpers ----

# "warm nonblack total" over a 64x48 sampling of an image (optionally cropped).
saver_colours() {
  convert "$1" ${2:+-crop "$2"} -scale '64x48!' -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[^(]*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' |
    awk '{ n++; if ($1 + $2 + $3 > 30) nb++; if ($1 >= 120 && $1 > $2 * 1.15 && $2 >= $3) w++ }
         END { printf "%d %d %d\n", w + 0, nb + 0, n + 0 }'
}

# True when the picture is lit and about 0.3% of the samples are warm (flame
# colours; the flames are small in some frames, the bricks are darker than this).
saver_is_warm() {
  saver_warm_figures $(saver_colours "$@")
}

# The same judgement of figures "warm nonblack total" already taken.
saver_warm_figures() {
  [ "$3" -gt 0 ] && [ $(($1 * 300)) -ge "$3" ] && [ $(($2 * 2)) -ge "$3" ]
}

# Starts "Pyrelume.scr ARGS" in folder $1 in the background; sets saver_pid.
# It is ended after $saver_timeout seconds (60 unless set).
saver_start() {
  local dir=$1; shift
  mkdir -p "$dir"
  (cd "$dir" && exec timeout "${saver_timeout:-60}" wine "$saver_bin/Pyrelume.scr" "$@" >/dev/null 2>&1) &
  saver_pid=$!
}

# Waits up to $2 seconds (tenths) for process $1 to end; prints the tenths waited.
saver_wait_exit() {
  local pid=$1 limit=$(($2 * 10)) t=0
  while kill -0 "$pid" 2>/dev/null && [ $t -lt $limit ]; do
    sleep 0.1
    t=$((t + 1))
  done
  echo $t
  ! kill -0 "$pid" 2>/dev/null
}

# Waits up to 30 s for a full-screen window of the saver that shows a warm
# picture; leaves the last screenshot in $1.
saver_wait_picture() {
  local shot=$1 i
  for i in $(seq 1 60); do
    if xwininfo -root -tree 2>/dev/null | grep -i '"pyrelume.scr"' | grep -q '1024x768+0+0' &&
       import -window root "$shot" 2>/dev/null && saver_is_warm "$shot"; then
      return 0
    fi
    sleep 0.5
  done
  return 1
}

# Number of the saver's windows that are mapped and larger than one pixel.
saver_viewable_windows() {
  local id n=0
  for id in $(xwininfo -root -tree 2>/dev/null | grep -i '"pyrelume.scr"' | grep -v ' 1x1+' | awk '{print $1}'); do
    if xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then n=$((n + 1)); fi
  done
  echo $n
}

saver_stop() {
  if kill -0 "$saver_pid" 2>/dev/null; then
    xdotool key Escape 2>/dev/null || true
    saver_wait_exit "$saver_pid" 5 >/dev/null || kill "$saver_pid" 2>/dev/null || true
  fi
  wait "$saver_pid" 2>/dev/null || true
}

# ---- the checks ----

if [ ! -f "$saver_bin/Pyrelume.scr" ] || [ ! -f "$saver_checks/preview-host.exe" ]; then
  fail "saver: Pyrelume.scr and the check programs are built"
elif ! wine_x_start; then
  fail "saver: Xvfb starts"
else
  for check in wgl-check platform-check; do
    if timeout 120 wine "$saver_checks/$check.exe" >"$work/$check.txt" 2>&1; then
      pass "$check"
    else
      fail "$check: $(grep -a 'FAIL\|error' "$work/$check.txt" | tr -d '\r' | head -n 5 | tr '\n' ';')"
    fi
  done
  for program in Pyrelume.exe Pyrelume.scr; do
    if timeout 60 wine "$saver_checks/platform-check.exe" --resources "$(winepath -w "$saver_bin/$program")" \
         >"$work/resources.txt" 2>&1; then
      pass "$program carries title strings, icon, version, manifest and DATA_RFA"
    else
      fail "$program resources: $(grep -a 'FAIL' "$work/resources.txt" | tr -d '\r' | tr '\n' ';')"
    fi
  done
  grep -a '^vendor\|^renderer' "$work/wgl-check.txt" | tr -d '\r' | sed 's/^/  /' || true

  timeout 60 wine "$saver_checks/platform-check.exe" --set ScreenShots -1 >/dev/null 2>&1 || true

  # /s: full screen, warm picture, Ctrl+PrintScreen, a key ends it.
  saver_start "$work/s1" /s
  if saver_wait_picture "$work/s1.png"; then
    pass "saver /s fills the screen with a warm picture"
    # The key presses can reach the X server before the full-screen window has the
    # keyboard; press again (a few times, bounded) until the capture appears.
    shot=""
    sleep 2
    for attempt in 1 2 3 4 5; do
      # Without a window manager nobody gives the saver the keyboard: focus it.
      for id in $(xwininfo -root -tree 2>/dev/null | grep -i '"pyrelume.scr"' | grep '1024x768+0+0' | awk '{print $1}'); do
        xdotool windowfocus "$id" 2>/dev/null || true
      done
      xdotool keydown ctrl keydown Print keyup Print keyup ctrl 2>/dev/null || true
      for i in $(seq 1 15); do
        shot=$(ls "$work/s1"/Pyrelume*.jpg 2>/dev/null | head -n1 || true)
        [ -n "$shot" ] && break 2
        sleep 0.1
      done
      kill -0 "$saver_pid" 2>/dev/null || break
    done
    # The capture may still be being written: wait for its size to settle.
    [ -n "$shot" ] && sleep 0.5
    if [ -n "$shot" ] && [ "$(identify -format '%wx%h' "$shot" 2>/dev/null)" = 1024x768 ] && saver_is_warm "$shot"; then
      pass "saver Ctrl+PrintScreen writes a full-screen JPEG"
    else
      fail "saver Ctrl+PrintScreen writes a full-screen JPEG"
    fi
    xdotool key Escape 2>/dev/null || true
    if tenths=$(saver_wait_exit "$saver_pid" 2); then
      pass "saver /s ends on a key within 2 s ($tenths tenths)"
    else
      fail "saver /s ends on a key within 2 s"
    fi
  else
    fail "saver /s fills the screen with a warm picture"
  fi
  saver_stop

  # /s ends on a mouse click; a second /s ends at once and leaves the first running.
  saver_start "$work/s2" /s
  first=$saver_pid
  if saver_wait_picture "$work/s2.png"; then
    saver_start "$work/s3" /s
    if saver_wait_exit "$saver_pid" 10 >/dev/null && kill -0 "$first" 2>/dev/null; then
      pass "saver second /s instance exits at once"
    else
      fail "saver second /s instance exits at once"
    fi
    saver_stop
    saver_pid=$first
    # Another window over the saver, then gone: the saver draws each frame
    # only where the fire changed it, so the part the window covered (the
    # masonry above the mantel, which never changes) must come back.
    owner="$native_dir/tests/hack/hack-window-owner"
    if [ -x "$owner" ]; then
      rm -f "$work/cover.in"
      mkfifo "$work/cover.in"
      "$owner" <"$work/cover.in" >/dev/null 2>&1 &
      exec 6>"$work/cover.in"
      sleep 2
      import -window root -crop 640x90+100+50 "$work/covered.png" 2>/dev/null || true
      echo unmap >&6
      sleep 2
      import -window root -crop 640x90+100+50 "$work/uncovered.png" 2>/dev/null || true
      exec 6>&-
      read -r _ covered_lit covered_all <<<"$(saver_colours "$work/covered.png")"
      read -r _ lit all <<<"$(saver_colours "$work/uncovered.png")"
      if [ "${covered_all:-0}" -gt 0 ] && [ $((covered_lit * 10)) -lt "$covered_all" ] && [ "${all:-0}" -gt 0 ] &&
         [ $((lit * 10)) -ge $((all * 9)) ] && kill -0 "$saver_pid" 2>/dev/null; then
        pass "saver /s covered by another window and uncovered shows the whole fireplace ($lit of $all samples lit)"
      else
        fail "saver /s covered and uncovered: ${covered_lit:-?} of ${covered_all:-?} samples lit under the window, ${lit:-?} of ${all:-?} after"
      fi
    fi
    sleep 0.5
    xdotool mousemove 300 300 click 1 2>/dev/null || true
    if saver_wait_exit "$saver_pid" 2 >/dev/null; then
      pass "saver /s ends on a mouse click"
    else
      fail "saver /s ends on a mouse click"
    fi
  else
    fail "saver /s starts for the click and second-instance checks"
  fi
  saver_pid=$first
  saver_stop

  # /a: the password change shows nothing of ours and ends.
  saver_start "$work/a" /a
  sleep 0.5
  windows=$(saver_viewable_windows)
  if saver_wait_exit "$saver_pid" 10 >/dev/null && [ "$windows" = 0 ]; then
    pass "saver /a shows no window and exits"
  else
    fail "saver /a shows no window and exits ($windows windows)"
  fi
  saver_stop

  # /c and no parameters: the settings window shows; its Cancel button ends
  # the program (Alt+F4 does nothing on the settings dialog: 60-dialogs.sh).
  saver_start "$work/c" /c
  shown=0
  for i in $(seq 1 40); do
    [ "$(saver_viewable_windows)" -gt 0 ] && { shown=1; break; }
    sleep 0.25
  done
  sleep 0.5
  timeout 30 wine "$win_dir/tests/win32dlg/dlgdriver.exe" find "Pyrelume v" 20 >/dev/null 2>&1 || true
  timeout 30 wine "$win_dir/tests/win32dlg/dlgdriver.exe" click "Pyrelume v" 115 >/dev/null 2>&1 || true
  if [ $shown = 1 ] && saver_wait_exit "$saver_pid" 5 >/dev/null; then
    pass "saver /c shows the settings window and closing it ends the program"
  else
    fail "saver /c shows the settings window and closing it ends the program (shown: $shown)"
  fi
  saver_stop

  # /p: drawing inside another program's window; ends when that window goes.
  mkdir -p "$work/p"
  (cd "$work/p" && exec timeout 60 wine "$saver_checks/preview-host.exe" "$(winepath -w "$saver_bin/Pyrelume.scr")" 6 \
     >"$work/p/host.txt" 2>/dev/null) &
  host_pid=$!
  for i in $(seq 1 60); do
    grep -q '^host ' "$work/p/host.txt" 2>/dev/null && break
    sleep 0.1
  done
  # The saver's own screenshot shows what it draws into the host's window.
  shot=""
  for i in $(seq 1 10); do
    sleep 0.5
    # The keys reach the saver through the host's window: give that the keyboard.
    for id in $(xwininfo -root -tree 2>/dev/null | grep '"preview host"' | awk '{print $1}'); do
      xdotool windowfocus "$id" 2>/dev/null || true
    done
    xdotool keydown ctrl keydown Print keyup Print keyup ctrl 2>/dev/null || true
    sleep 0.3
    shot=$(ls "$work/p"/Pyrelume*.jpg 2>/dev/null | head -n1 || true)
    [ -n "$shot" ] && break
  done
  wait "$host_pid" 2>/dev/null && host_rc=0 || host_rc=$?
  if grep -q '^child TGLWindow 320x240 visible' "$work/p/host.txt"; then
    pass "saver /p makes its window inside the host, filling it"
  else
    fail "saver /p makes its window inside the host, filling it: $(tr -d '\r' <"$work/p/host.txt" | tr '\n' ' ')"
  fi
  if [ -n "$shot" ] && [ "$(identify -format '%wx%h' "$shot" 2>/dev/null)" = 320x240 ] && saver_is_warm "$shot"; then
    pass "saver /p draws a warm picture of the host's size"
  else
    fail "saver /p draws a warm picture of the host's size"
  fi
  if [ "$host_rc" = 0 ] && grep -q '^saver ended' "$work/p/host.txt"; then
    pass "saver /p ends when the host window goes"
  else
    fail "saver /p ends when the host window goes"
  fi

  wine_x_stop
fi
