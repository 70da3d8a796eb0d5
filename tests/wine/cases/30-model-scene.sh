# Model and scene inspection give the same text from the Windows build.
members="$native_dir/data/members"
for m in Fireplace01.3dm Fireplace02.3dm Sparkle.3dm Smoke.3dm; do
  [ -f "$members/$m" ] || { fail "model info $m (member missing)"; continue; }
  cp "$members/$m" "$work/$m"
  if [ "$("$tool" model info "$work/$m")" = "$( (cd "$work" && wtool model info "$m") | tr -d '\r')" ]; then
    pass "model info $m identical"
  else
    fail "model info $m identical"
  fi
done
cp "$native_dir/data/data.rfa" "$work/data.rfa"
if [ "$("$tool" scene tree "$work/data.rfa")" = "$( (cd "$work" && wtool scene tree data.rfa) | tr -d '\r')" ]; then
  pass "scene tree identical"
else
  fail "scene tree identical"
fi
