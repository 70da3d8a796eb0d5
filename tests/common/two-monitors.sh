#!/usr/bin/env bash
# Starts an X server with two monitors side by side that wine (and xscreensaver) see as two:
# Xorg with the dummy video driver, RandR outputs DUMMY0 (primary) and DUMMY1 to its right.
# usage: two-monitors.sh :N [WxH-primary] [WxH-second]     (needs xserver-xorg-core,
#        xserver-xorg-video-dummy, x11-xserver-utils; prints the server's pid)
# Stop it with: kill PID   (the pid this script prints). Used by the wine checks
# (tests/wine/cases/66-monitors.sh) and the display hack's (tests/hack/x11).
set -euo pipefail
disp=${1:?usage: two-monitors.sh :N [WxH] [WxH]}; first=${2:-1024x768}; second=${3:-800x600}
dir=$(mktemp -d)
w1=${first%x*}; h1=${first#*x}; w2=${second%x*}; h2=${second#*x}
cat >"$dir/xorg.conf" <<CONF
Section "Device"
  Identifier "d0"
  Driver "dummy"
  VideoRam 262144
EndSection
Section "Monitor"
  Identifier "m0"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "s0"
  Device "d0"
  Monitor "m0"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual $((w1 + w2)) $(( h1 > h2 ? h1 : h2 ))
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
CONF
Xorg "$disp" -config "$dir/xorg.conf" -configdir "$dir/none" -noreset -nolisten tcp \
  -logfile "$dir/xorg.log" >"$dir/out" 2>&1 &
pid=$!
for _ in $(seq 50); do DISPLAY=$disp xrandr >/dev/null 2>&1 && break; sleep 0.2; done
export DISPLAY=$disp
mode() {  # mode OUTPUT W H: add a CVT mode of that size to the output if it lacks one
  local name="${2}x${3}"
  xrandr | grep -q "^ *$name " || { xrandr --newmode "$name" $(cvt "$2" "$3" 60 | sed -n 's/^Modeline "[^"]*"//p') 2>/dev/null || true; }
  xrandr --addmode "$1" "$name" 2>/dev/null || true
}
mode DUMMY0 "$w1" "$h1"; mode DUMMY1 "$w2" "$h2"
xrandr --output DUMMY0 --mode "${w1}x${h1}" --primary --pos 0x0
xrandr --output DUMMY1 --mode "${w2}x${h2}" --right-of DUMMY0
# A full query makes the server probe its outputs again. Until then a client
# that asks only for the current state (wine does) sees one monitor.
xrandr >/dev/null
echo "$pid"
