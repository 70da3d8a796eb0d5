# Two monitors for real: an Xorg server with the dummy driver and two RandR
# outputs (1024x768 primary, 800x600 to its right), which wine sees as two
# monitors. Judged from root-window screenshots: the primary-monitor choice
# puts the picture on the primary monitor with its own 4:3 shape and the
# second one black, "2 - Monitor" covers only the second one, "Dual View"
# both; the settings dialog is centred on the primary monitor; switching the
# second monitor off while the saver runs on it leaves the saver running on
# the primary one. Screenshots go to $PYRELUME_SCREEN_SHOTS when set.
# Sourced by run-wine-tests.sh after 50-saver.sh and 60-dialogs.sh.

mon_shots=${PYRELUME_SCREEN_SHOTS:-$work/screen-shots}

# A free display number for the server (Xorg needs one named).
mon_display() {
  local n
  for n in 51 52 53 54 55 56 57 58 59; do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo ":$n"; return 0; }
  done
  return 1
}

# Lit and warm samples of a region of a screenshot: "warm nonblack total".
mon_colours() { saver_colours "$1" "$2"; }

# Runs /s with the stored monitor choice $1; leaves the saver running (saver_pid)
# once a window of the size $2 shows, screenshot in $3 (once region $4 is warm).
mon_saver() {
  timeout 60 wine "$saver_checks/platform-check.exe" --set Monitor "$1" >/dev/null 2>&1 || true
  # Room for the monitor being switched off and on under it.
  saver_timeout=120 saver_start "$work/mon-$1" /s
  local i
  for i in $(seq 1 60); do
    xwininfo -root -tree 2>/dev/null | grep -i '"pyrelume.scr"' | grep -q " $2 " && break
    sleep 0.25
  done
  # The flames rise and fall from frame to frame: up to ten screenshots until
  # the region $4 (where the fire belongs) shows it.
  local n
  for n in $(seq 1 10); do
    sleep 0.7
    dlg_shot "$3"
    [ -z "${4-}" ] || ! saver_is_warm "$3" "$4" || break
  done
  xwininfo -root -tree 2>/dev/null | grep -i '"pyrelume.scr"' | grep -q " $2 "
}

# Switches the second monitor off under the running saver (saver_pid) and
# judges the result: the window moves onto the primary monitor and the fire
# shows there. mon_gone_result says what was seen.
mon_gone_check() {
  local i moved=no colours windows listed
  DISPLAY=$mon_disp xrandr --output DUMMY1 --off >/dev/null 2>&1 || true
  for i in $(seq 1 40); do
    xwininfo -root -tree 2>/dev/null | grep -i '"pyrelume.scr"' | grep -q " $primary " && { moved=yes; break; }
    sleep 0.25
  done
  # Up to twenty screenshots: the flames are small in some frames, and the
  # window is redrawn at its new size only once wine has moved it.
  for i in $(seq 1 20); do
    sleep 0.7
    dlg_shot "$mon_shots/monitors-second-gone.png"
    saver_is_warm "$mon_shots/monitors-second-gone.png" "$primary" && break
  done
  colours=$(mon_colours "$mon_shots/monitors-second-gone.png" "$primary")
  windows=$(xwininfo -root -tree 2>/dev/null | grep -i '"pyrelume.scr"' | sed 's/^ *//; s/  */ /g' | tr '\n' ';')
  listed=$(timeout 60 wine "$saver_checks/platform-check.exe" --monitors 2>&1 | tr -d '\r' | tr '\n' ' ' || true)
  mon_gone_result="running: $(kill -0 "$saver_pid" 2>/dev/null && echo yes || echo no), moved: $moved, $i screenshots, the last one warm/lit/samples $colours, windows $windows; wine then lists: $listed; xrandr: $(xrandr --listmonitors 2>/dev/null | head -n1)"
  kill -0 "$saver_pid" 2>/dev/null && [ $moved = yes ] && saver_warm_figures $colours
}

# Switches the second monitor on again, to the right of the primary one.
mon_second_back() {
  DISPLAY=$mon_disp xrandr --output DUMMY1 --mode 800x600 --right-of DUMMY0 >/dev/null 2>&1 || true
  DISPLAY=$mon_disp xrandr >/dev/null 2>&1 || true
  sleep 1
}

if ! command -v Xorg >/dev/null || [ ! -f /usr/lib/xorg/modules/drivers/dummy_drv.so ]; then
  fail "monitors: Xorg with the dummy driver is installed (xserver-xorg-core, xserver-xorg-video-dummy)"
elif [ ! -f "$saver_bin/Pyrelume.scr" ] || [ ! -f "$dlg_driver" ]; then
  fail "monitors: Pyrelume.scr and dlgdriver.exe are built"
elif ! mon_disp=$(mon_display) || ! mon_pid=$("$(dirname "${BASH_SOURCE[0]}")/../../common/two-monitors.sh" "$mon_disp" 2>/dev/null | tail -n1); then
  fail "monitors: the two-monitor X server starts"
else
  mkdir -p "$mon_shots"
  mon_old_display=${DISPLAY-}
  export DISPLAY=$mon_disp
  # The wine session of the earlier checks lives on their X server: end it,
  # and wait until it is gone, so that the next one starts on this server.
  wine_session_here
  # Wine's desktop process may take a moment to read the layout.
  for mon_try in $(seq 1 5); do
    timeout 60 wine "$saver_checks/platform-check.exe" --monitors >"$work/monitors.txt" 2>&1 || true
    grep -q '^count 2' "$work/monitors.txt" && break
    sleep 1
  done
  if grep -q '^count 2' "$work/monitors.txt" && grep -q '^monitor 1 1024,0 800x600' "$work/monitors.txt"; then
    pass "monitors: wine sees two monitors (try $mon_try: $(tr -d '\r' <"$work/monitors.txt" | tr '\n' ' '))"
  else
    fail "monitors: wine sees two monitors ($(tr -d '\r' <"$work/monitors.txt" | tr '\n' ' '); the X server lists $(xrandr --listmonitors 2>/dev/null | sed -n 's/^Monitors: //p'))"
  fi
  primary=1024x768+0+0
  second=800x600+1024+0

  # The primary monitor: the window spans the desktop, the picture the primary.
  if mon_saver -1 1824x768+0+0 "$mon_shots/monitors-primary.png" "$primary"; then
    read -r -a p <<<"$(mon_colours "$mon_shots/monitors-primary.png" "$primary")"
    read -r -a s <<<"$(mon_colours "$mon_shots/monitors-primary.png" "$second")"
    # The picture ends at the seam: the primary's rightmost columns are lit,
    # the second monitor's first ones are black.
    read -r -a edge <<<"$(mon_colours "$mon_shots/monitors-primary.png" "16x700+1008+30")"
    read -r -a over <<<"$(mon_colours "$mon_shots/monitors-primary.png" "16x560+1024+20")"
    if saver_is_warm "$mon_shots/monitors-primary.png" "$primary" && [ "${s[1]}" = 0 ] && [ "${edge[1]}" -gt 0 ] &&
       [ "${over[1]}" = 0 ]; then
      pass "monitors: \"Primary Monitor\" shows the fire on the primary monitor only, up to the seam (lit ${p[1]}/${p[2]}, second ${s[1]})"
    else
      fail "monitors: \"Primary Monitor\" (primary lit ${p[1]}/${p[2]} warm ${p[0]}, second lit ${s[1]}, edge ${edge[1]}, over ${over[1]})"
    fi
  else
    fail "monitors: \"Primary Monitor\" covers the desktop"
  fi
  saver_stop

  # The second monitor alone.
  if mon_saver 1 "$second" "$mon_shots/monitors-second.png" "$second"; then
    read -r -a p <<<"$(mon_colours "$mon_shots/monitors-second.png" "$primary")"
    if saver_is_warm "$mon_shots/monitors-second.png" "$second" && [ "${p[1]}" = 0 ]; then
      pass "monitors: \"2 - Monitor\" covers the second monitor with its own 800x600 picture"
    else
      fail "monitors: \"2 - Monitor\" covers the second monitor (primary lit ${p[1]})"
    fi
    # The second monitor goes away while the saver runs on it. A second try
    # with a fresh saver when the first shows no fire; both are reported.
    if mon_gone_check; then
      pass "monitors: the saver survives its monitor going away and moves to the primary one"
    else
      mon_gone_first=$mon_gone_result
      cp "$mon_shots/monitors-second-gone.png" "$mon_shots/monitors-second-gone-first-try.png" 2>/dev/null || true
      saver_stop
      mon_second_back
      if mon_saver 1 "$second" "$mon_shots/monitors-second.png" "$second" && mon_gone_check; then
        pass "monitors: the saver survives its monitor going away and moves to the primary one (second try; the first: $mon_gone_first)"
      else
        fail "monitors: the saver survives its monitor going away (first try: $mon_gone_first; second try: $mon_gone_result)"
      fi
    fi
    saver_stop
    mon_second_back
  else
    fail "monitors: \"2 - Monitor\" covers the second monitor"
    saver_stop
  fi

  # Dual view: one picture over both monitors, both lit, and the fire warm in
  # the fireplace's opening across the middle of the desktop (judged there:
  # averaged over the whole 1824-pixel width, the flames of a small frame fade
  # into the bricks).
  dual_fire=700x400+560+300
  if mon_saver 2 1824x768+0+0 "$mon_shots/monitors-dual.png" "$dual_fire"; then
    read -r -a p <<<"$(mon_colours "$mon_shots/monitors-dual.png" "$primary")"
    read -r -a s <<<"$(mon_colours "$mon_shots/monitors-dual.png" "$second")"
    read -r -a f <<<"$(mon_colours "$mon_shots/monitors-dual.png" "$dual_fire")"
    if saver_warm_figures "${f[@]}" && [ $((p[1] * 10)) -ge $((p[2] * 9)) ] &&
       [ $((s[1] * 10)) -ge $((s[2] * 9)) ]; then
      pass "monitors: \"Dual View\" spreads the fire over both monitors (lit ${p[1]}/${p[2]} and ${s[1]}/${s[2]}, warm ${f[0]}/${f[2]} in the opening)"
    else
      fail "monitors: \"Dual View\" spreads the fire over both monitors (lit ${p[1]}/${p[2]} and ${s[1]}/${s[2]}, warm ${f[0]}/${f[2]} in the opening)"
    fi
  else
    fail "monitors: \"Dual View\" covers both monitors"
  fi
  saver_stop
  timeout 60 wine "$saver_checks/platform-check.exe" --set Monitor -1 >/dev/null 2>&1 || true

  # The settings dialog on the primary monitor's centre.
  dlg_start "$work/mon-c" /c
  if drv find "$dlg_main" 40 >/dev/null; then
    sleep 2
    dlg_shot "$mon_shots/monitors-settings.png"
    read -r ww wh wx wy <<<"$(drv window "$dlg_main" | sed 's/^\([0-9]*\)x\([0-9]*\)+\([-0-9]*\)+\([-0-9]*\).*/\1 \2 \3 \4/')"
    cx=$((wx + ww / 2)); cy=$((wy + wh / 2))
    if [ $((cx - 512)) -ge -2 ] && [ $((cx - 512)) -le 2 ] && [ $((cy - 384)) -ge -2 ] && [ $((cy - 384)) -le 2 ]; then
      pass "monitors: the settings dialog is centred on the primary monitor (centre $cx,$cy)"
    else
      fail "monitors: the settings dialog is centred on the primary monitor (centre $cx,$cy)"
    fi
  else
    fail "monitors: /c shows the settings dialog"
  fi
  dlg_stop

  wine_end
  kill "$mon_pid" 2>/dev/null || true
  if [ -n "$mon_old_display" ]; then export DISPLAY="$mon_old_display"; else unset DISPLAY; fi
fi
