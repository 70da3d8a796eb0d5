# pyrelume-tool.exe starts under wine and answers like the native tool.
if [ "$(wtool version | tr -d '\r')" = "$("$tool" version)" ]; then pass "tool version"; else fail "tool version"; fi
