# The dialogs under wine on their own Xvfb, driven from outside by dlgdriver:
# /c shows the settings dialog with every control and a live preview, Alt+F4
# does nothing, the advanced dialog lists its controls, keeps a sound
# unchecked after Cancel and its OK shows the clock in the preview, the About box names the renderer, Preview runs full
# screen and a key brings the dialog back, OK saves the flame width that the
# slider set, Cancel saves nothing. Screenshots of the three dialogs are kept
# in $PYRELUME_DIALOG_SHOTS when set. Every wait is bounded.
# Sourced by run-wine-tests.sh (uses $work, $win_dir, pass, fail).

dlg_bin="$win_dir/bin"
dlg_driver="$win_dir/tests/win32dlg/dlgdriver.exe"
dlg_key='HKCU\Software\Varnel Software\Pyrelume 3'
dlg_machine_key='HKLM\Software\Varnel Software\Pyrelume 3'
dlg_shots=${PYRELUME_DIALOG_SHOTS:-$work/dialog-shots}
dlg_main="Pyrelume v"
dlg_adv="Advanced Settings"
dlg_about="About Pyrelume"

# ---- helpers ----

drv() { timeout 30 wine "$dlg_driver" "$@" 2>/dev/null | tr -d '\r'; }

# Starts "Pyrelume.scr ARGS" in folder $1 in the background; sets dlg_pid.
dlg_start() {
  local dir=$1; shift
  mkdir -p "$dir"
  (cd "$dir" && exec timeout 100 wine "$dlg_bin/Pyrelume.scr" "$@" >/dev/null 2>&1) &
  dlg_pid=$!
}

# Waits up to $2 seconds for process $1 to end.
dlg_wait_exit() {
  local pid=$1 limit=$(($2 * 10)) t=0
  while kill -0 "$pid" 2>/dev/null && [ $t -lt $limit ]; do
    sleep 0.1
    t=$((t + 1))
  done
  ! kill -0 "$pid" 2>/dev/null
}

dlg_stop() {
  if kill -0 "$dlg_pid" 2>/dev/null; then
    kill "$dlg_pid" 2>/dev/null || true
  fi
  wait "$dlg_pid" 2>/dev/null || true
  wine_end
}

# Checks that the control list $1 has control $2 of class $3 with text $4
# (and, when given, state text $5); collects what is missing in dlg_missing.
dlg_expect() {
  local line
  line=$(grep "^$2 " "$1" | head -n1)
  if [ -z "$line" ] || ! grep -qi "^$2 $3 " <<<"$line" || { [ -n "$4" ] && ! grep -qF " \"$4\"" <<<"$line"; } ||
     { [ -n "${5-}" ] && ! grep -qF "$5" <<<"$line"; }; then
    dlg_missing="$dlg_missing [$2 $3 \"$4\" ${5-}]"
  fi
}

# The number of clock-orange pixels (bright orange: the clock's colour
# 255,120,40 and its glow) in the region $2 of image $1.
dlg_orange() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[^(]*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' |
    awk '{ if ($1 >= 200 && $2 >= 60 && $2 <= 190 && $3 <= 120) n++ } END { print n + 0 }'
}

# The share (percent) of warm, flame-coloured pixels in region $2 of image $1.
dlg_warm_percent() {
  convert "$1" -crop "$2" +repage -scale '64x48!' -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[^(]*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' |
    awk '{ n++; if ($1 >= 120 && $1 > $2 * 1.15 && $2 >= $3) w++ } END { print n ? int(w * 100 / n) : 0 }'
}

# An offset region "WxH+X+Y" moved by the GL window's origin in "$1".
dlg_region() {
  local gl=$1 w=$2 h=$3 x=$4 y=$5 ox oy
  ox=$(sed 's/^[0-9]*x[0-9]*+\([-0-9]*\)+\([-0-9]*\)$/\1/' <<<"$gl")
  oy=$(sed 's/^[0-9]*x[0-9]*+\([-0-9]*\)+\([-0-9]*\)$/\2/' <<<"$gl")
  echo "${w}x${h}+$((ox + x))+$((oy + y))"
}

dlg_shot() { import -window root "$1" 2>/dev/null; }

# The program's own picture of its output window (Ctrl+PrintScreen writes
# Pyrelume*.jpg into folder $1): the exact frame, for the clock's pixels.
# What reaches the X screen is checked from root-window shots in 62-screen.sh.
# Prints the newest picture once there are more than $2.
dlg_capture() {
  local dir=$1 before=$2 i j n
  for i in $(seq 1 8); do
    xdotool keydown ctrl keydown Print keyup Print keyup ctrl 2>/dev/null || true
    for j in $(seq 1 5); do
      n=$(ls "$dir"/Pyrelume*.jpg 2>/dev/null | wc -l || true)
      if [ "$n" -gt "$before" ]; then
        ls -t "$dir"/Pyrelume*.jpg 2>/dev/null | head -n1 || true
        return 0
      fi
      sleep 0.2
    done
  done
  return 1
}

# ---- the checks ----

if [ ! -f "$dlg_bin/Pyrelume.scr" ] || [ ! -f "$dlg_driver" ] || [ ! -f "$win_dir/tests/win32/platform-check.exe" ]; then
  fail "dialogs: Pyrelume.scr, dlgdriver.exe and platform-check.exe are built"
elif ! wine_x_start; then
  fail "dialogs: Xvfb starts"
else
  mkdir -p "$dlg_shots"
  timeout 60 wine reg delete "$dlg_key" /f >/dev/null 2>&1 || true
  timeout 60 wine reg delete "$dlg_machine_key" /f >/dev/null 2>&1 || true
  # Ctrl+PrintScreen saves the output window's picture (a machine-hive setting).
  timeout 60 wine "$win_dir/tests/win32/platform-check.exe" --set ScreenShots -1 >/dev/null 2>&1 || true
  if [ -f "$dlg_bin/Help.html" ]; then
    pass "dialogs: Help.html lies beside the program"
  else
    fail "dialogs: Help.html lies beside the program"
  fi

  dlg_start "$work/dlg1" /c
  caption=$(drv find "$dlg_main" 40 || true)
  if [ "$caption" = "Pyrelume v3.0" ]; then
    pass "dialogs: /c shows the settings dialog \"$caption\""
  else
    fail "dialogs: /c shows the settings dialog (caption \"$caption\")"
  fi

  # Every control of the settings dialog, at its place, with its caption.
  drv controls "$dlg_main" >"$work/dlg-settings.txt" || true
  dlg_missing=""
  for spec in "110|Preview" "111|About" "112|Help" "113|Contact Us" "116|Advanced..." \
              "131|50%" "132|100%" "141|1" "142|5" "151|1" "152|10" "162|Swap Colors" \
              "181|Style" "182|Material" "183|Fireguard" "184|Logs" \
              "189|Sparkles" "190|Smoke" "191|Near View"; do
    id=${spec%%|*}
    text=${spec#*|}
    case $id in 11?) cls=Button ;; 162|189|190|191) cls=Button ;; *) cls=Static ;; esac
    dlg_expect "$work/dlg-settings.txt" "$id" "$cls" "$text"
  done
  for spec in "130|  Flame Width" "140|  Flame Decay" "150|  Burning Rate" "160|  Flame Color" \
              "170|  Advanced Options" "180|  Fireplace options"; do
    dlg_expect "$work/dlg-settings.txt" "${spec%%|*}" Button "${spec#*|}"
  done
  dlg_expect "$work/dlg-settings.txt" 114 Button "OK" ""
  dlg_expect "$work/dlg-settings.txt" 115 Button "Cancel" ""
  grep -q '^114 Button 512 480 80 25 ' "$work/dlg-settings.txt" || dlg_missing="$dlg_missing [OK at 512,480 80x25]"
  grep -q '^171 Static .*"Click on the Advanced Button to adjust the full screen mode' "$work/dlg-settings.txt" ||
    dlg_missing="$dlg_missing [advanced label]"
  dlg_expect "$work/dlg-settings.txt" 133 Static "100%"
  dlg_expect "$work/dlg-settings.txt" 134 msctls_trackbar32 "" "pos=100 range=50..100"
  dlg_expect "$work/dlg-settings.txt" 144 msctls_trackbar32 "" "range=1..5"
  dlg_expect "$work/dlg-settings.txt" 154 msctls_trackbar32 "" "range=1..10"
  dlg_expect "$work/dlg-settings.txt" 161 ComboBox "" "items=Red Color|Orange Color|Yellow Color"
  for id in 185 186 187 188; do
    grep -q "^$id ComboBox .* sel=[0-9][0-9]* items=." "$work/dlg-settings.txt" ||
      dlg_missing="$dlg_missing [$id list with a selection]"
  done
  grep -q '^186 ComboBox .*items=Material01' "$work/dlg-settings.txt" || dlg_missing="$dlg_missing [Material01]"
  grep -q '^100 PyrelumePanel 4 4 484 364 ' "$work/dlg-settings.txt" || dlg_missing="$dlg_missing [preview panel]"
  grep -q ' TGLWindow 5 5 482 362 1 1 ' "$work/dlg-settings.txt" || dlg_missing="$dlg_missing [GL window in the panel]"
  if [ -z "$dlg_missing" ]; then
    pass "dialogs: settings dialog has every control with its caption and place"
  else
    fail "dialogs: settings dialog controls missing or wrong:$dlg_missing"
  fi

  # The live preview: the fire in the output window, inside the panel.
  gl=$(drv rect "$dlg_main" TGLWindow || true)
  sleep 1
  dlg_shot "$dlg_shots/settings.png"
  preview=$(dlg_capture "$work/dlg1" 0) || preview=""
  warm=0
  # The firebox of the preview's picture.
  [ -n "$preview" ] && warm=$(dlg_warm_percent "$preview" "180x110+150+170")
  if [ -n "$preview" ] && [ "$(identify -format '%wx%h' "$preview" 2>/dev/null)" = 482x362 ] && [ "$warm" -ge 3 ]; then
    pass "dialogs: the preview draws the fire in the 482x362 panel ($warm% of the firebox warm)"
  else
    fail "dialogs: the preview draws the fire in the 482x362 panel ('$preview', $warm% warm)"
  fi
  clock_region="90x70+388+288"
  before=0
  [ -n "$preview" ] && before=$(dlg_orange "$preview" "$clock_region")

  # Alt+F4 (the system's close command and the key itself) leaves the dialog open.
  drv close "$dlg_main" >/dev/null || true
  xdotool key alt+F4 2>/dev/null || true
  sleep 1
  if kill -0 "$dlg_pid" 2>/dev/null && drv find "$dlg_main" 2 >/dev/null; then
    pass "dialogs: Alt+F4 does not close the settings dialog"
  else
    fail "dialogs: Alt+F4 does not close the settings dialog"
  fi

  # The advanced dialog: every control, modal over the settings dialog.
  drv click "$dlg_main" 116 >/dev/null || true
  if drv find "$dlg_adv" 15 >/dev/null; then
    drv controls "$dlg_adv" >"$work/dlg-advanced.txt" || true
    dlg_missing=""
    for spec in "201|Color Depth" "203|Screen Size" "206|Multi-Monitors" "208|Renderer" "210|Textures" \
                "212|Quality" "241|MonitorOff" "243|Power Off" "251|Mode" "253|Color" "261|Sounds" \
                "264|0" "265|100"; do
      dlg_expect "$work/dlg-advanced.txt" "${spec%%|*}" Static "${spec#*|}"
    done
    for spec in "200|  Graphic options" "230|  System options" "240|  Power Management options" \
                "250|  Clock Options" "260|  Sound options" "205|Desktop Resolution" "214|Wait Sync" \
                "215|Display FPS" "231|Exit on Mouse Move" "232|Run As Program" "245|Low CPU Usage" \
                "280|OK" "281|Cancel"; do
      dlg_expect "$work/dlg-advanced.txt" "${spec%%|*}" Button "${spec#*|}"
    done
    dlg_expect "$work/dlg-advanced.txt" 207 ComboBox "" "items=Primary Monitor|1 - Monitor|Dual View|Virtual Desktop"
    dlg_expect "$work/dlg-advanced.txt" 209 ComboBox "" "items=OpenGL|DirectX"
    dlg_expect "$work/dlg-advanced.txt" 211 ComboBox "" "items=Compressed|True Color (32 bit)|High Color (16 bit)"
    dlg_expect "$work/dlg-advanced.txt" 213 ComboBox "" "items=High|Normal|Low"
    dlg_expect "$work/dlg-advanced.txt" 242 ComboBox "" "items=None|1 min.|2 min.|3 min.|5 min.|10 min.|15 min.|20 min.|25 min.|30 min.|45 min.|1 hour|2 hour|3 hour|4 hour|5 hour"
    dlg_expect "$work/dlg-advanced.txt" 244 ComboBox "" "|5 hour"
    dlg_expect "$work/dlg-advanced.txt" 252 ComboBox "" "sel=0 items=None|24-Hour|12-Hour"
    dlg_expect "$work/dlg-advanced.txt" 202 ComboBox ""
    dlg_expect "$work/dlg-advanced.txt" 204 ComboBox ""
    dlg_expect "$work/dlg-advanced.txt" 254 Static ""
    dlg_expect "$work/dlg-advanced.txt" 262 ListBox "" "sel=0 items="
    grep -q '^262 ListBox .* items=.' "$work/dlg-advanced.txt" || dlg_missing="$dlg_missing [sound lines]"
    dlg_expect "$work/dlg-advanced.txt" 263 msctls_trackbar32 "" "range=0..100"
    grep -q '^266 Static .*" Volume"\|^266 Static .* Volume"' "$work/dlg-advanced.txt" ||
      dlg_missing="$dlg_missing [sound volume label]"
    grep -q '^280 Button 260 354 72 25 ' "$work/dlg-advanced.txt" || dlg_missing="$dlg_missing [OK at 260,354]"
    if [ -z "$dlg_missing" ]; then
      pass "dialogs: advanced dialog has every control with its caption"
    else
      fail "dialogs: advanced dialog controls missing or wrong:$dlg_missing"
    fi
    if [ "$(drv enabled "$dlg_main")" = 0 ]; then
      pass "dialogs: the settings dialog takes no input while the advanced dialog is open"
    else
      fail "dialogs: the settings dialog takes no input while the advanced dialog is open"
    fi
    sleep 0.5
    dlg_shot "$dlg_shots/advanced.png"
    # A sound's line unchecked, then Cancel: the sound stays disabled.
    dlg_checks() { drv controls "$dlg_adv" | grep '^262 ' | sed -n 's/.* checks=\([0-9,]*\).*/\1/p' || true; }
    checks0=$(dlg_checks)
    drv checkbox "$dlg_adv" 262 0 >/dev/null || true
    sleep 0.5
    checks1=$(dlg_checks)
    drv click "$dlg_adv" 281 >/dev/null || true
    drv gone "$dlg_adv" 10 || true
    drv click "$dlg_main" 116 >/dev/null || true
    drv find "$dlg_adv" 15 >/dev/null || true
    checks2=$(dlg_checks)
    if [ "${checks0%%,*}" = 1 ] && [ "${checks1%%,*}" = 0 ] && [ -n "$checks1" ] && [ "$checks2" = "$checks1" ]; then
      pass "dialogs: a sound unchecked in the advanced dialog stays disabled after Cancel ($checks0 -> $checks2)"
    else
      fail "dialogs: a sound unchecked, then Cancel ('$checks0' -> '$checks1' -> '$checks2')"
    fi
    # 24-hour clock, then OK.
    drv select "$dlg_adv" 252 1 >/dev/null || true
    sleep 0.3
    drv click "$dlg_adv" 280 >/dev/null || true
    if drv gone "$dlg_adv" 10; then
      sleep 1
      shots=$(ls "$work/dlg1"/Pyrelume*.jpg 2>/dev/null | wc -l || true)
      clockshot=$(dlg_capture "$work/dlg1" "$shots") || clockshot=""
      after=0
      [ -n "$clockshot" ] && after=$(dlg_orange "$clockshot" "$clock_region")
      [ -n "$clockshot" ] && cp "$clockshot" "$dlg_shots/preview-clock.jpg"
      if [ "$after" -ge 150 ] && [ "$after" -ge $((before * 4 + 50)) ]; then
        pass "dialogs: advanced OK with the 24-hour clock shows the clock in the preview ($before -> $after orange pixels)"
      else
        fail "dialogs: advanced OK with the 24-hour clock shows the clock in the preview ($before -> $after orange pixels)"
      fi
    else
      fail "dialogs: advanced dialog closes on OK"
    fi
  else
    fail "dialogs: Advanced... opens the advanced dialog"
  fi

  # The About box names the renderer.
  drv click "$dlg_main" 111 >/dev/null || true
  if drv find "$dlg_about" 15 >/dev/null; then
    driver_text=$(drv text "$dlg_about" 305 || true)
    if grep -q 'llvmpipe' <<<"$driver_text"; then
      pass "dialogs: About box shows the renderer ($(grep -o 'llvmpipe[^)]*)\?' <<<"$driver_text" | head -n1))"
    else
      fail "dialogs: About box shows the renderer: '$driver_text'"
    fi
    sleep 0.5
    dlg_shot "$dlg_shots/about.png"
    drv click "$dlg_about" 300 >/dev/null || true
    if drv gone "$dlg_about" 10; then
      pass "dialogs: About box closes on its button"
    else
      fail "dialogs: About box closes on its button"
    fi
  else
    fail "dialogs: About opens the About box"
  fi

  # Preview: full screen, and a key brings the dialog back with the preview in its panel.
  drv click "$dlg_main" 110 >/dev/null || true
  full=no
  for i in $(seq 1 40); do
    if xwininfo -root -tree 2>/dev/null | grep -q '1024x768+0+0' && [ -z "$(drv rect "$dlg_main" TGLWindow)" ]; then
      full=yes
      break
    fi
    sleep 0.25
  done
  if [ "$full" = yes ]; then
    sleep 1
    xdotool key Escape 2>/dev/null || true
    back=""
    for i in $(seq 1 40); do
      back=$(drv rect "$dlg_main" TGLWindow || true)
      [ -n "$back" ] && break
      sleep 0.25
    done
    if [ "$back" = "$gl" ] && [ "$(drv enabled "$dlg_main")" = 1 ]; then
      pass "dialogs: Preview runs full screen and a key returns to the dialog"
    else
      fail "dialogs: Preview returns to the dialog (GL window '$back', was '$gl')"
    fi
  else
    fail "dialogs: Preview runs full screen"
  fi

  # The flame-width slider at 75 shows 75% and OK saves the width 170.
  drv track "$dlg_main" 134 75 >/dev/null || true
  sleep 0.5
  label=$(drv text "$dlg_main" 133 || true)
  drv click "$dlg_main" 114 >/dev/null || true
  if dlg_wait_exit "$dlg_pid" 15; then
    pass "dialogs: OK closes the program"
  else
    fail "dialogs: OK closes the program"
  fi
  dlg_stop
  width=$(timeout 60 wine reg query "$dlg_key" /v FlameWidth 2>/dev/null | tr -d '\r' | awk '$1 == "FlameWidth" { print $3 }')
  clock=$(timeout 60 wine reg query "$dlg_key" /v "Clock Mode" 2>/dev/null | tr -d '\r' | awk '/Clock Mode/ { print $NF }')
  if [ "$label" = "75%" ] && [ "$width" = 170 ] && [ "$clock" = 1 ]; then
    pass "dialogs: slider at 75 shows 75% and OK stores FlameWidth 170 and the clock mode"
  else
    fail "dialogs: slider at 75 and OK (label '$label', FlameWidth '$width', Clock Mode '$clock')"
  fi

  # Cancel stores nothing.
  timeout 60 wine reg delete "$dlg_key" /f >/dev/null 2>&1 || true
  timeout 60 wine reg delete "$dlg_machine_key" /f >/dev/null 2>&1 || true
  dlg_start "$work/dlg2" /c
  if drv find "$dlg_main" 40 >/dev/null; then
    sleep 1
    drv track "$dlg_main" 134 60 >/dev/null || true
    sleep 0.3
    drv click "$dlg_main" 115 >/dev/null || true
    if dlg_wait_exit "$dlg_pid" 15; then
      dlg_stop
      if ! timeout 60 wine reg query "$dlg_key" >/dev/null 2>&1 &&
         ! timeout 60 wine reg query "$dlg_machine_key" >/dev/null 2>&1; then
        pass "dialogs: Cancel closes the program and stores nothing"
      else
        fail "dialogs: Cancel stores nothing: $(timeout 60 wine reg query "$dlg_key" 2>/dev/null | tr -d '\r' | tr '\n' ' ')"
      fi
    else
      fail "dialogs: Cancel closes the program"
    fi
  else
    fail "dialogs: /c starts again for the Cancel check"
  fi
  dlg_stop
  wine_x_stop
fi
