# The Windows build packs, lists and extracts archives and runs the flame with
# exactly the bytes of the native build.
mkdir -p "$work/in"
head -c 300000 /dev/urandom > "$work/in/Noise.bin"
seq 1 20000 > "$work/in/numbers.txt"
printf 'tiny' > "$work/in/a.TXT"
cp "$here/../../data/"* "$work/in/" 2>/dev/null || true

"$tool" rfa pack "$work/in" "$work/native.rfa"
(cd "$work" && wtool rfa pack in win.rfa >/dev/null)
if cmp -s "$work/native.rfa" "$work/win.rfa"; then pass "rfa pack identical"; else fail "rfa pack identical"; fi

if [ "$("$tool" rfa list "$work/native.rfa")" = "$( (cd "$work" && wtool rfa list native.rfa) | tr -d '\r')" ]; then
  pass "rfa list identical"
else
  fail "rfa list identical"
fi

(cd "$work" && wtool rfa extract native.rfa noise.BIN noise.win >/dev/null)
(cd "$work" && wtool rfa extract native.rfa numbers.txt > numbers.stdout)
if cmp -s "$work/noise.win" "$work/in/Noise.bin" && cmp -s "$work/numbers.stdout" "$work/in/numbers.txt"; then
  pass "rfa extract identical"
else
  fail "rfa extract identical"
fi

if (cd "$work" && wtool rfa list missing.rfa >/dev/null 2>&1); then fail "rfa error exit"; else pass "rfa error exit"; fi

flame_case() {
  local label=$1; shift
  "$tool" flame "$@" --dump "$work/n.dump" --palettes "$work/n.pal"
  (cd "$work" && wtool flame "$@" --dump w.dump --palettes w.pal >/dev/null)
  if cmp -s "$work/n.dump" "$work/w.dump" && cmp -s "$work/n.pal" "$work/w.pal"; then
    pass "flame $label identical"
  else
    fail "flame $label identical"
  fi
}
flame_case default --steps 200
flame_case tuned --steps 500 --width 180 --decay 3 --rate 9 --color 1 --swap
flame_case colour2 --steps 50 --width 120 --color 2
flame_case colour5 --steps 300 --decay 1 --rate 1 --color 5
