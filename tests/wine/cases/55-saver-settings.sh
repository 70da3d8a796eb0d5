# Settings placed in the registry before the saver starts change what it draws,
# and the crackle it plays reaches the wave output (ALSA's default PCM captured
# to a file). Uses the helpers of 50-saver.sh; every wait is bounded.

settings_key='HKCU\Software\Varnel Software\Pyrelume 3'

# Runs /s in folder $1 until it shows a warm picture, saves the screen as $2,
# then ends it with a key.
settings_run() {
  local dir=$1 shot=$2
  saver_start "$dir" /s
  if saver_wait_picture "$shot"; then
    sleep 1.5
    import -window root "$shot" 2>/dev/null || true
    saver_stop
    return 0
  fi
  saver_stop
  return 1
}

# "warm nonblack total" of the clock's corner (the sprite layer's plate).
clock_corner="176x110+824+630"
# Samples of the clock corner in the clock's own orange (255,120,40): far
# redder than the firelight on the hearth and guard there, which is warm too.
clock_orange() {
  convert "$1" -crop "$clock_corner" -scale '64x48!' -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[^(]*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' |
    awk '{ if ($1 >= 200 && $1 > 1.6 * $2 && $3 < 80) o++ } END { print o + 0 }'
}

if [ ! -f "$saver_bin/Pyrelume.scr" ]; then
  fail "saver settings: Pyrelume.scr is built"
elif ! wine_x_start; then
  fail "saver settings: Xvfb starts"
else
  timeout 60 wine reg delete "$settings_key" /f >/dev/null 2>&1 || true

  # Defaults: no clock in the corner; the crackle plays into the capture file.
  mkdir -p "$work/set0"
  cat > "$work/set0/.asoundrc" <<ALSA
pcm.!default { type file; slave.pcm "null"; file "$work/set0/capture.raw"; format "raw" }
ALSA
  if HOME="$work/set0" settings_run "$work/set0" "$work/set0.png"; then
    base=$(clock_orange "$work/set0.png")
    peak=$(python3 - "$work/set0/capture.raw" <<'PY'
import struct, sys
try:
    d = open(sys.argv[1], 'rb').read()
except OSError:
    d = b''
n = len(d) // 2
print(max(map(abs, struct.unpack('<%dh' % n, d[:2 * n]))) if n else 0)
PY
)
    if [ "$peak" -gt 2000 ]; then
      pass "saver plays the crackle through waveOut (peak $peak)"
    else
      fail "saver plays the crackle through waveOut (peak $peak)"
    fi

    # "Clock Mode" 1 from the registry: the clock's orange plate appears in the corner.
    timeout 60 wine reg add "$settings_key" /v "Clock Mode" /d 1 /f >/dev/null 2>&1 || true
    timeout 60 wine reg add "$settings_key" /v "Sparkles" /d 0 /f >/dev/null 2>&1 || true
    if settings_run "$work/set1" "$work/set1.png"; then
      clock=$(clock_orange "$work/set1.png")
      if [ "$clock" -gt $((base + 20)) ]; then
        pass "registry \"Clock Mode\" shows the clock (clock-orange samples $base -> $clock)"
      else
        fail "registry \"Clock Mode\" shows the clock (clock-orange samples $base -> $clock)"
      fi
    else
      fail "saver /s with stored settings shows a picture"
    fi

    # "FlameColorIndex" 4 draws the extra colour set: its flames are dense and
    # opaque from the roots up, so far more of the upper firebox glows.
    timeout 60 wine reg add "$settings_key" /v "FlameColorIndex" /d 4 /f >/dev/null 2>&1 || true
    if settings_run "$work/set2" "$work/set2.png"; then
      # Share of the upper firebox in flame colours (red over 150, well above blue).
      warm_share() {
        convert "$1" -crop 400x80+312+340 -depth 8 txt:- |
          sed -n 's/^[^(]*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' |
          awk '{ n++; if ($1 > 150 && $1 > 1.5 * $3) w++ } END { printf "%.3f\n", w / (n ? n : 1) }'
      }
      a=$(warm_share "$work/set1.png")
      b=$(warm_share "$work/set2.png")
      if awk -v a="$a" -v b="$b" 'BEGIN { exit !(b > 2 * a && b > a + 0.1) }'; then
        pass "registry \"FlameColorIndex\" changes the fire's colours (flame-coloured share $a -> $b)"
      else
        fail "registry \"FlameColorIndex\" changes the fire's colours (flame-coloured share $a -> $b)"
      fi
    else
      fail "saver /s with a stored flame colour shows a picture"
    fi
  else
    fail "saver /s with default settings shows a picture"
  fi
  timeout 60 wine reg delete "$settings_key" /f >/dev/null 2>&1 || true
  wine_x_stop
fi
