# What reaches the X screen, judged from root-window screenshots (never from
# the program's own capture): the settings dialog's live preview and the /p
# preview inside another program's window show the fire and move; the same
# child windows drawn straight by GL (PYRELUME_CHILD_GL=direct) stay black
# under wine, which is why the output is copied. Enter and Escape press OK and
# Cancel; the About box is 422 x 404 as a window; at 144 dpi every dialog and
# the full-screen saver and /p take the screen's pixels at that scale.
# Screenshots go to $PYRELUME_SCREEN_SHOTS when set. Every wait is bounded.
# Sourced by run-wine-tests.sh after 50-saver.sh and 60-dialogs.sh (their helpers).

scr_shots=${PYRELUME_SCREEN_SHOTS:-$work/screen-shots}

# Dots per inch of the prefix (takes effect for programs started afterwards).
scr_dpi() {
  wine_end
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || true
  timeout 60 wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
}

# Mean difference (0..65535) between the same region of two images.
scr_changed() {
  # (compare's status tells whether the images differ: not an error here)
  { compare -metric MAE -crop "$3" "$1" "$2" null: 2>&1 || true; } | sed 's/ .*//; s/\..*//'
}

# The settings dialog's preview region (a root-window screenshot) after it
# has been shown for a while: prints "warm% change" and keeps the shots.
# Arguments: folder, shot prefix, extra environment for the program.
scr_preview_check() {
  local dir=$1 prefix=$2 gl w h region a b
  shift 2
  mkdir -p "$dir"
  (cd "$dir" && exec env "$@" timeout 60 wine "$dlg_bin/Pyrelume.scr" /c >/dev/null 2>&1) &
  dlg_pid=$!
  gl=""
  if drv find "$dlg_main" 40 >/dev/null; then
    for i in $(seq 1 20); do
      gl=$(drv rect "$dlg_main" TGLWindow || true)
      [ -n "$gl" ] && break
      sleep 0.25
    done
  fi
  if [ -z "$gl" ]; then
    echo "0 0"
    dlg_stop
    return 1
  fi
  sleep 3
  dlg_shot "$scr_shots/$prefix-1.png"
  sleep 0.5
  dlg_shot "$scr_shots/$prefix-2.png"
  # The firebox of the picture: the middle of the preview.
  w=${gl%%x*}; h=${gl#*x}; h=${h%%+*}
  region=$(dlg_region "$gl" $((w * 3 / 8)) $((h * 3 / 10)) $((w * 5 / 16)) $((h * 45 / 100)))
  a=$(dlg_warm_percent "$scr_shots/$prefix-1.png" "$region")
  b=$(scr_changed "$scr_shots/$prefix-1.png" "$scr_shots/$prefix-2.png" "$region")
  echo "$a ${b:-0}"
  dlg_stop
}

if [ ! -f "$dlg_bin/Pyrelume.scr" ] || [ ! -f "$dlg_driver" ] || [ ! -f "$saver_checks/preview-host.exe" ]; then
  fail "screen: Pyrelume.scr, dlgdriver.exe and preview-host.exe are built"
elif ! wine_x_start 1024x768; then
  fail "screen: Xvfb starts"
else
  mkdir -p "$scr_shots"
  timeout 60 wine reg delete "$dlg_key" /f >/dev/null 2>&1 || true

  # ---- The settings dialog's live preview on the X screen ----
  read -r warm moved <<<"$(scr_preview_check "$work/scr1" settings-96)"
  if [ "$warm" -ge 3 ] && [ "$moved" -ge 300 ]; then
    pass "screen: the settings dialog's preview shows a moving fire on the screen ($warm% warm, change $moved)"
  else
    fail "screen: the settings dialog's preview shows a moving fire on the screen ($warm% warm, change $moved)"
  fi
  # Drawn straight into the child window, wine shows nothing of it.
  read -r warm moved <<<"$(scr_preview_check "$work/scr2" settings-direct PYRELUME_CHILD_GL=direct)"
  if [ "$warm" -lt 3 ]; then
    pass "screen: without the copy the preview stays black under wine ($warm% warm)"
  else
    fail "screen: without the copy the preview stays black under wine ($warm% warm): the check cannot tell"
  fi

  # ---- /p inside another program's window ----
  mkdir -p "$work/scr-p"
  (cd "$work/scr-p" && exec timeout 60 wine "$saver_checks/preview-host.exe" "$(winepath -w "$saver_bin/Pyrelume.scr")" 24 \
     >"$work/scr-p/host.txt" 2>/dev/null) &
  host_pid=$!
  # The host's window is at (100, 100), 320 x 240; its middle holds the firebox.
  warm=0
  for i in $(seq 1 40); do
    sleep 0.5
    dlg_shot "$scr_shots/preview-p-1.png"
    warm=$(dlg_warm_percent "$scr_shots/preview-p-1.png" "120x72+200+200")
    [ "$warm" -ge 3 ] && break
  done
  sleep 0.5
  dlg_shot "$scr_shots/preview-p-2.png"
  wait "$host_pid" 2>/dev/null || true
  moved=$(scr_changed "$scr_shots/preview-p-1.png" "$scr_shots/preview-p-2.png" "120x72+200+200")
  if [ "$warm" -ge 3 ] && [ "${moved:-0}" -ge 300 ]; then
    pass "screen: /p shows a moving fire inside the host's window ($warm% warm, change $moved)"
  else
    fail "screen: /p shows a moving fire inside the host's window ($warm% warm, change ${moved:-0})"
  fi

  # ---- Keys and the About box's size ----
  dlg_start "$work/scr3" /c
  if drv find "$dlg_main" 40 >/dev/null; then
    sleep 1
    drv click "$dlg_main" 116 >/dev/null || true
    drv find "$dlg_adv" 15 >/dev/null || true
    drv key "$dlg_adv" 27 >/dev/null || true  # Escape
    esc=no; drv gone "$dlg_adv" 5 && esc=yes
    drv click "$dlg_main" 116 >/dev/null || true
    drv find "$dlg_adv" 15 >/dev/null || true
    drv key "$dlg_adv" 13 >/dev/null || true  # Enter
    enter=no; drv gone "$dlg_adv" 5 && enter=yes
    if [ $esc = yes ] && [ $enter = yes ]; then
      pass "screen: Escape and Enter close the advanced dialog"
    else
      fail "screen: Escape and Enter close the advanced dialog (Escape: $esc, Enter: $enter)"
    fi
    drv click "$dlg_main" 111 >/dev/null || true
    if drv find "$dlg_about" 15 >/dev/null; then
      size=$(drv window "$dlg_about" || true)
      drv key "$dlg_about" 27 >/dev/null || true
      about_esc=no; drv gone "$dlg_about" 5 && about_esc=yes
      if [ "${size%%+*}" = 422x404 ] && [ $about_esc = yes ]; then
        pass "screen: the About box is a 422x404 window and Escape closes it"
      else
        fail "screen: the About box is a 422x404 window and Escape closes it ('$size', Escape: $about_esc)"
      fi
    else
      fail "screen: About opens the About box"
    fi
    # Enter on the settings dialog is OK: it saves and ends the program.
    drv track "$dlg_main" 134 60 >/dev/null || true
    sleep 0.3
    drv key "$dlg_main" 13 >/dev/null || true
    if dlg_wait_exit "$dlg_pid" 15; then
      dlg_stop
      width=$(timeout 60 wine reg query "$dlg_key" /v FlameWidth 2>/dev/null | tr -d '\r' | awk '$1 == "FlameWidth" { print $3 }')
      if [ "$width" = 140 ]; then
        pass "screen: Enter in the settings dialog saves (FlameWidth $width) and ends the program"
      else
        fail "screen: Enter in the settings dialog saves (FlameWidth '$width')"
      fi
    else
      fail "screen: Enter in the settings dialog ends the program"
    fi
  else
    fail "screen: /c starts for the key checks"
  fi
  dlg_stop
  dlg_start "$work/scr4" /c
  if drv find "$dlg_main" 40 >/dev/null; then
    sleep 1
    drv key "$dlg_main" 27 >/dev/null || true
    if dlg_wait_exit "$dlg_pid" 15; then
      pass "screen: Escape in the settings dialog ends the program"
    else
      fail "screen: Escape in the settings dialog ends the program"
    fi
  fi
  dlg_stop

  # ---- A move to a 144 dpi monitor while open ----
  dlg_start "$work/scr5" /c
  if drv find "$dlg_main" 40 >/dev/null; then
    sleep 1
    before=$(drv window "$dlg_main" || true)
    drv dpi "$dlg_main" 120 >/dev/null || true
    sleep 0.5
    grown=$(drv window "$dlg_main" || true)
    ok_at=$(drv controls "$dlg_main" | awk '$1 == 114 { print $3, $4, $5, $6 }')
    dlg_shot "$scr_shots/settings-dpichanged-120.png"
    drv dpi "$dlg_main" 96 >/dev/null || true
    sleep 0.5
    back=$(drv window "$dlg_main" || true)
    # 690 x 509 at 120 dpi is 863 x 636 (a few lines more in height here: the
    # system still draws the frame at 96 dpi, for a monitor change it did not make).
    gh=${grown##*x}
    if [ "$(sed 's/.* \([0-9]*\)x.*/\1/' <<<"$grown")" != 863 ] ||
       [ "${gh:-0}" -lt 636 ] || [ "${gh:-0}" -gt 646 ]; then
      ok_at="$ok_at (client ${grown##* })"
    fi
    if [ "$ok_at" = "640 600 100 31" ] && [ "${back##* }" = "${before##* }" ]; then
      pass "screen: the settings dialog follows a change of dots per inch ($before -> $grown -> $back)"
    else
      fail "screen: the settings dialog follows a change of dots per inch ($before -> $grown, OK at '$ok_at' -> $back)"
    fi
  else
    fail "screen: /c starts for the dpi change"
  fi
  dlg_stop
  wine_x_stop

  # ---- 144 dpi on a large screen: every dialog and the previews at 150% ----
  if wine_x_start 1600x1200; then
    # The default fire again: the Enter check above stored a narrower one,
    # whose small flames make the warm share of a frame borderline.
    timeout 60 wine reg delete "$dlg_key" /f >/dev/null 2>&1 || true
    scr_dpi 144
    dlg_start "$work/scr6" /c
    if drv find "$dlg_main" 40 >/dev/null; then
      sleep 3
      main=$(drv window "$dlg_main" || true)
      gl=$(drv rect "$dlg_main" TGLWindow || true)
      dlg_shot "$scr_shots/settings-144.png"
      drv click "$dlg_main" 116 >/dev/null || true
      drv find "$dlg_adv" 15 >/dev/null || true
      sleep 1
      adv=$(drv window "$dlg_adv" || true)
      dlg_shot "$scr_shots/advanced-144.png"
      drv click "$dlg_adv" 281 >/dev/null || true
      drv gone "$dlg_adv" 10 || true
      drv click "$dlg_main" 111 >/dev/null || true
      drv find "$dlg_about" 15 >/dev/null || true
      sleep 1
      about=$(drv window "$dlg_about" || true)
      dlg_shot "$scr_shots/about-144.png"
      drv click "$dlg_about" 300 >/dev/null || true
      drv gone "$dlg_about" 10 || true
      # 690 x 509, 437 x 390 and 422 x 404 (a window) at 150%.
      if [ "${main##* }" = 1035x764 ] && [ "${adv##* }" = 656x585 ] && [ "${about%%+*}" = 633x606 ] &&
         [ "${gl%%+*}" = 724x544 ]; then
        pass "screen: at 144 dpi the dialogs are 150% ($main; $adv; $about; preview $gl)"
      else
        fail "screen: at 144 dpi the dialogs are 150% ($main; $adv; $about; preview $gl)"
      fi
      w=${gl%%x*}; h=${gl#*x}; h=${h%%+*}
      warm=0
      # The flames rise and fall from frame to frame: the best of a few
      # screenshots of the running preview.
      for i in 1 2 3 4 5; do
        [ -n "$gl" ] || break
        [ $i = 1 ] || { sleep 0.5; dlg_shot "$scr_shots/settings-144.png"; }
        shot_warm=$(dlg_warm_percent "$scr_shots/settings-144.png" \
          "$(dlg_region "$gl" $((w * 3 / 8)) $((h * 3 / 10)) $((w * 5 / 16)) $((h * 45 / 100)))")
        [ "$shot_warm" -gt "$warm" ] && warm=$shot_warm
        [ "$warm" -ge 3 ] && break
      done
      if [ "$warm" -ge 3 ]; then
        pass "screen: at 144 dpi the preview fills its larger panel with the fire ($warm% warm)"
      else
        fail "screen: at 144 dpi the preview fills its larger panel with the fire ($warm% warm)"
      fi
    else
      fail "screen: /c starts at 144 dpi"
    fi
    dlg_stop
    for dpi in 144 192; do
      scr_dpi "$dpi"
      saver_start "$work/scr-s$dpi" /s
      covered=no
      for i in $(seq 1 40); do
        xwininfo -root -tree 2>/dev/null | grep -i '"pyrelume.scr"' | grep -q '1600x1200+0+0' && { covered=yes; break; }
        sleep 0.25
      done
      # The first frames come after the scene has loaded, which takes longer
      # on a busy machine: wait for the fire rather than a fixed time.
      scr_until=$((SECONDS + 40))
      while [ $SECONDS -lt $scr_until ] && kill -0 "$saver_pid" 2>/dev/null; do
        sleep 0.5
        dlg_shot "$scr_shots/saver-$dpi.png"
        saver_is_warm "$scr_shots/saver-$dpi.png" && break
      done
      scr_colours=$(saver_colours "$scr_shots/saver-$dpi.png")
      saver_stop
      wine_end
      mkdir -p "$work/scr-p$dpi"
      (cd "$work/scr-p$dpi" && exec timeout 60 wine "$saver_checks/preview-host.exe" \
         "$(winepath -w "$saver_bin/Pyrelume.scr")" 4 >"$work/scr-p$dpi/host.txt" 2>/dev/null) &
      host_pid=$!
      wait "$host_pid" 2>/dev/null || true
      if [ $covered = yes ] && saver_is_warm "$scr_shots/saver-$dpi.png" &&
         grep -q '^child TGLWindow 320x240 visible' "$work/scr-p$dpi/host.txt"; then
        pass "screen: at $dpi dpi /s covers all 1600x1200 pixels and /p fills its 320x240 host"
      else
        fail "screen: at $dpi dpi /s covers 1600x1200 ($covered; warm, lit, samples: $scr_colours) and /p fills its host ($(tr -d '\r' <"$work/scr-p$dpi/host.txt" | head -n2 | tr '\n' ' '))"
      fi
    done
    scr_dpi 96
    wine_x_stop
  else
    fail "screen: a 1600x1200 Xvfb starts"
  fi

  # ---- 144 dpi on a 1024x768 screen: the dialog shrinks to stay on it ----
  if wine_x_start 1024x768; then
    scr_dpi 144
    dlg_start "$work/scr7" /c
    if drv find "$dlg_main" 40 >/dev/null; then
      sleep 2
      main=$(drv window "$dlg_main" || true)
      dlg_shot "$scr_shots/settings-144-small-screen.png"
      read -r mw mh mx my <<<"$(sed 's/^\([0-9]*\)x\([0-9]*\)+\([-0-9]*\)+\([-0-9]*\).*/\1 \2 \3 \4/' <<<"$main")"
      if [ "${mw:-0}" -gt 700 ] && [ "$mx" -ge 0 ] && [ "$my" -ge 0 ] && [ $((mx + mw)) -le 1024 ] && [ $((my + mh)) -le 768 ]; then
        pass "screen: at 144 dpi on 1024x768 the settings dialog grows but stays on the screen ($main)"
      else
        fail "screen: at 144 dpi on 1024x768 the settings dialog stays on the screen ($main)"
      fi
    fi
    dlg_stop
    scr_dpi 96
    wine_x_stop
  fi
fi
