# The Windows build plays the scene's crackle through waveOut; ALSA's default
# PCM is pointed at a file, and what was played must not be silence.
mkdir -p "$work/alsa"
cat > "$work/alsa/.asoundrc" <<ALSA
pcm.!default { type file; slave.pcm "null"; file "$work/alsa/capture.raw"; format "raw" }
ALSA
cp "$native_dir/data/data.rfa" "$work/alsa/data.rfa"
if (cd "$work/alsa" && HOME="$work/alsa" wtool play data.rfa --seconds 3 >/dev/null 2>"$work/alsa/err"); then
  peak=$(python3 - "$work/alsa/capture.raw" <<'PY'
import struct, sys
d = open(sys.argv[1], 'rb').read()
n = len(d) // 2
s = struct.unpack('<%dh' % n, d[:2 * n]) if n else ()
print(max(map(abs, s)) if s else 0)
PY
)
  size=$(stat -c %s "$work/alsa/capture.raw" 2>/dev/null || echo 0)
  # 3 s of 22050 Hz 16-bit stereo is 264600 bytes; ask for most of it and real signal.
  if [ "$size" -gt 200000 ] && [ "$peak" -gt 2000 ]; then
    pass "waveOut crackle captured ($size bytes, peak $peak)"
  else
    fail "waveOut crackle captured ($size bytes, peak $peak)"
  fi
else
  fail "waveOut play: $(cat "$work/alsa/err")"
fi
