# Headless rendering under wine: the Windows tool draws data.rfa through a WGL
# context on a hidden window of its own Xvfb and writes a PNG like the native
# tool's. The two renderers may differ in a few pixels, so the pictures are
# compared by the mean colour of the firebox, which must be warm in both.
# Sourced by run-wine-tests.sh (uses $work, $native_dir, $tool, $tool_exe, pass, fail).

render_rfa="$native_dir/data/data.rfa"
render_dir="$work/render"

# "R G B flame total" of the firebox of a 320x240 picture: the mean of each
# channel, the number of bright flame-coloured pixels and of all pixels.
render_firebox() {
  convert "$1" -crop 150x80+85+115 +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[^(]*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' |
    awk '{ n++; r += $1; g += $2; b += $3; if ($1 >= 120 && $1 > $2 * 1.15 && $2 >= $3) w++ }
         END { if (n == 0) n = 1; printf "%d %d %d %d %d\n", r / n, g / n, b / n, w + 0, NR }'
}

# True when the picture is 320x240 and its firebox is warm: red well above
# green, green not below blue, and at least 2% bright flame pixels.
render_is_fireplace() {
  local c
  [ "$(identify -format '%wx%h' "$1" 2>/dev/null)" = "320x240" ] || return 1
  read -r -a c <<<"$(render_firebox "$1")"
  [ "${c[4]:-0}" -gt 0 ] && [ "${c[0]}" -ge 40 ] && [ $((c[0] * 10)) -gt $((c[1] * 13)) ] &&
    [ "${c[1]}" -ge "${c[2]}" ] && [ $((c[3] * 50)) -ge "${c[4]}" ]
}

# True when every channel mean of the two firebox areas is within 12.
render_means_close() {
  local a b i d
  read -r -a a <<<"$(render_firebox "$1")"
  read -r -a b <<<"$(render_firebox "$2")"
  for i in 0 1 2; do
    d=$((a[i] - b[i]))
    [ "${d#-}" -le 12 ] || return 1
  done
}

mkdir -p "$render_dir"
render_args=(--size 320x240 --frames 10 --dt 0.04)
if [ ! -f "$render_rfa" ]; then
  fail "render: data.rfa is built"
elif ! "$tool" render "$render_rfa" "${render_args[@]}" --out "$render_dir/native.png" >"$render_dir/native.txt" 2>&1; then
  fail "render: native tool renders ($(head -c 300 "$render_dir/native.txt"))"
elif ! wine_x_start 640x480; then
  fail "render: Xvfb starts"
  wine_x_stop
else
  if ! (cd "$render_dir" && wtool render "$render_rfa" "${render_args[@]}" --out "$render_dir/windows.png") \
       >"$render_dir/windows.txt" 2>&1; then
    fail "render: Windows tool renders ($(tr -d '\r' <"$render_dir/windows.txt" | head -c 300))"
  elif [ ! -f "$render_dir/windows.png" ] || [ -e "$render_dir/windows.png.tmp" ]; then
    fail "render: Windows tool writes the PNG and no temporary file"
  else
    if render_is_fireplace "$render_dir/native.png"; then pass "render: native picture shows the fireplace"
    else fail "render: native picture shows the fireplace ($(render_firebox "$render_dir/native.png"))"; fi
    if render_is_fireplace "$render_dir/windows.png"; then pass "render: Windows picture shows the fireplace"
    else fail "render: Windows picture shows the fireplace ($(render_firebox "$render_dir/windows.png"))"; fi
    if render_means_close "$render_dir/native.png" "$render_dir/windows.png"; then
      pass "render: Windows and native firebox colours agree"
    else
      fail "render: firebox colours differ (native $(render_firebox "$render_dir/native.png"), windows $(render_firebox "$render_dir/windows.png"))"
    fi
    # A second render replaces the first picture.
    rm -f "$render_dir/windows.txt"
    if (cd "$render_dir" && wtool render "$render_rfa" --size 64x48 --frames 2 --dt 0.04 --out "$render_dir/windows.png") \
         >"$render_dir/windows.txt" 2>&1 &&
       [ "$(identify -format '%wx%h' "$render_dir/windows.png" 2>/dev/null)" = "64x48" ]; then
      pass "render: a second render replaces the PNG"
    else
      fail "render: a second render replaces the PNG ($(tr -d '\r' <"$render_dir/windows.txt" | head -c 300))"
    fi
    # A damaged archive is a one-line error with exit status 1 and no picture.
    head -c 1000 "$render_rfa" >"$render_dir/damaged.rfa"
    if (cd "$render_dir" && wtool render "$render_dir/damaged.rfa" "${render_args[@]}" --out "$render_dir/bad.png") \
         >"$render_dir/bad.txt" 2>&1; then
      fail "render: a damaged archive fails"
    elif [ -e "$render_dir/bad.png" ] || [ -e "$render_dir/bad.png.tmp" ] || [ "$(wc -l <"$render_dir/bad.txt")" -ne 1 ]; then
      fail "render: a damaged archive gives one line and no picture ($(tr -d '\r' <"$render_dir/bad.txt" | head -c 300))"
    else
      pass "render: a damaged archive gives one line and no picture"
    fi
    # The 8-bit clock picture with a header size near 2^32: in 32-bit offset
    # arithmetic the palette's end would wrap around and the check pass. It is
    # refused with the file's name, not read outside the file.
    hostile="$render_dir/hostile"
    mkdir -p "$hostile/Scenes"
    cp "$native_dir"/data/members/* "$hostile/Scenes/"
    mv "$hostile/Scenes/pyrelume.gsc" "$hostile/"
    python3 - "$hostile/Scenes/clock.bmp" <<'PY'
import sys
p = sys.argv[1]
b = bytearray(open(p, "rb").read())
b[14:18] = (0xFFFFFFF0).to_bytes(4, "little")
open(p, "wb").write(b)
PY
    if (cd "$hostile" && wtool render "$hostile/pyrelume.gsc" --size 64x48 --frames 2 --dt 0.04 \
          --setting "Clock Mode=1" --out "$hostile/out.png") >"$hostile/out.txt" 2>&1; then
      fail "render: a BMP whose palette offset wraps around on 32 bits is refused"
    elif tr -d '\r' <"$hostile/out.txt" | grep -q 'Invalid bitmap: truncated palette file .*clock.bmp'; then
      pass "render: a BMP whose palette offset wraps around on 32 bits is refused"
    else
      fail "render: a BMP whose palette offset wraps around on 32 bits is refused ($(tr -d '\r' <"$hostile/out.txt" | head -c 300))"
    fi
  fi
  wine_x_stop
fi
