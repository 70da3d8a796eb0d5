# The setup program in a fresh 32-bit wine prefix of its own: a silent install
# puts the saver and its help page into the system folder, selects it and
# registers the uninstaller; the selected saver started with /s shows the
# fireplace; a reinstall keeps the screen saver recorded first; a silent
# uninstall leaves nothing and restores the previous saver (only while
# Pyrelume is still selected), keeps the user's settings unless
# /REMOVESETTINGS is given; an uninstall of a removed installation and a setup
# without administrator rights (a check build that sees a plain user account;
# wine always runs as administrator) end cleanly and change nothing.
# Sourced by run-wine-tests.sh after 50-saver.sh (uses its saver_* helpers,
# $work, $native_dir, $win_dir, pass, fail).

setup_exe="$win_dir/bin/Pyrelume-Setup.exe"
setup_desktop='HKCU\Control Panel\Desktop'
setup_uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pyrelume'
setup_settings='HKCU\Software\Varnel Software\Pyrelume 3'
setup_sys='C:\windows\system32'
setup_uninstaller='C:\Program Files\Pyrelume\Uninstall.exe'

# ---- helpers ----

# Prints the data of value $2 under key $1; fails when it is missing.
setup_value() {
  timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v n="$2" 'toupper($1) == toupper(n) && $2 ~ /^REG_/ {
      sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]*/, ""); print; found = 1 } END { exit !found }'
}

setup_key_exists() { timeout 60 wine reg query "$1" >/dev/null 2>&1; }

setup_set() { timeout 60 wine reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1; }

# Runs the installed uninstaller with $@ and waits (bounded) for the copy of
# itself that it starts from the temporary folder to finish.
setup_uninstall() {
  local rc=0
  timeout 120 wine "$setup_uninstaller" "$@" >/dev/null 2>&1 || rc=$?
  timeout 120 wineserver -w >/dev/null 2>&1 || true
  return $rc
}

# Lists what an installation leaves: files, folder and uninstall key.
setup_leftovers() {
  local c="$WINEPREFIX/drive_c" f
  for f in "$c/windows/system32/Pyrelume.scr" "$c/windows/system32/Help.html" "$c/Program Files/Pyrelume"; do
    [ -e "$f" ] && echo "${f#"$c/"}"
  done
  setup_key_exists "$setup_uninst" && echo "uninstall key"
  true
}

# ---- the checks ----

if [ ! -f "$setup_exe" ]; then
  fail "setup: Pyrelume-Setup.exe is built"
else
  setup_old_prefix=$WINEPREFIX
  export WINEPREFIX="$work/setup-prefix"
  setup_c="$WINEPREFIX/drive_c"
  setup_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$win_dir/CMakeCache.txt")

  if grep -aq 'level="asInvoker"' "$win_dir/bin/Pyrelume.scr" &&
     grep -aq 'level="requireAdministrator"' "$setup_exe"; then
    pass "setup asks for administrator rights, the saver runs as the invoking user"
  else
    fail "setup asks for administrator rights, the saver runs as the invoking user"
  fi

  if ! timeout 300 wineboot -i >/dev/null 2>&1; then
    fail "setup: wineboot of a fresh prefix"
  elif ! wine_x_start; then
    fail "setup: Xvfb starts"
  else
    # The user's own choices before the setup runs.
    setup_set "$setup_desktop" SCRNSAVE.EXE "$setup_sys\\other.scr" || true
    setup_set "$setup_desktop" ScreenSaveActive 0 || true
    setup_set "$setup_settings" FlameWidth 160 || true

    # A user without administrator rights: a message (silent: exit code 740)
    # and nothing installed.
    if makensis -V1 -DPYR_VERSION="$setup_version" -DPYR_MAJOR="${setup_version%%.*}" -DPYR_SCR="$win_dir/bin/Pyrelume.scr" \
         -DPYR_HELP="$here/../../data/Help.html" \
         -DPYR_ICON="$native_dir/data/Pyrelume.ico" -DPYR_OUT="$work/setup-user.exe" -DPYR_TEST_ACCOUNT_TYPE=User \
         "$here/../../platform/win32/installer/Pyrelume.nsi" >"$work/setup-user.txt" 2>&1; then
      rc=0
      timeout 120 wine "$work/setup-user.exe" /S >/dev/null 2>&1 || rc=$?
      left=$(setup_leftovers)
      # wine hands a Windows exit code to Unix in 8 bits: 740 arrives as 228.
      if [ "$rc" = $((740 % 256)) ] && [ -z "$left" ] && [ "$(setup_value "$setup_desktop" SCRNSAVE.EXE)" = "$setup_sys\\other.scr" ]; then
        pass "setup without administrator rights ends with 740 and installs nothing"
      else
        fail "setup without administrator rights ends with 740 and installs nothing (rc $rc; left: $left)"
      fi
    else
      fail "setup: the check build for a plain user compiles: $(tail -n 3 "$work/setup-user.txt")"
    fi

    # Silent install: files, selection, uninstall entry.
    rc=0
    timeout 180 wine "$setup_exe" /S >/dev/null 2>&1 || rc=$?
    if [ "$rc" = 0 ] && cmp -s "$setup_c/windows/system32/Pyrelume.scr" "$win_dir/bin/Pyrelume.scr" &&
       cmp -s "$setup_c/windows/system32/Help.html" "$here/../../data/Help.html" &&
       [ -f "$setup_c/Program Files/Pyrelume/Uninstall.exe" ]; then
      pass "setup /S installs Pyrelume.scr and Help.html into the system folder and the uninstaller"
    else
      fail "setup /S installs Pyrelume.scr and Help.html into the system folder and the uninstaller (rc $rc)"
    fi
    bad=""
    [ "$(setup_value "$setup_desktop" SCRNSAVE.EXE)" = "$setup_sys\\Pyrelume.scr" ] || bad+=" SCRNSAVE.EXE"
    [ "$(setup_value "$setup_desktop" ScreenSaveActive)" = 1 ] || bad+=" ScreenSaveActive"
    [ "$(setup_value "$setup_uninst" DisplayName)" = Pyrelume ] || bad+=" DisplayName"
    [ "$(setup_value "$setup_uninst" DisplayVersion)" = "$setup_version" ] || bad+=" DisplayVersion"
    [ "$(setup_value "$setup_uninst" Publisher)" = "Varnel Software" ] || bad+=" Publisher"
    [ "$(setup_value "$setup_uninst" DisplayIcon)" = "$setup_sys\\Pyrelume.scr,0" ] || bad+=" DisplayIcon"
    [ "$(setup_value "$setup_uninst" UninstallString)" = "\"$setup_uninstaller\"" ] || bad+=" UninstallString"
    [ "$(setup_value "$setup_uninst" QuietUninstallString)" = "\"$setup_uninstaller\" /S" ] || bad+=" QuietUninstallString"
    size=$(setup_value "$setup_uninst" EstimatedSize || echo 0)
    [ $((size)) -ge $(($(stat -c %s "$win_dir/bin/Pyrelume.scr") / 1024)) ] || bad+=" EstimatedSize($size)"
    [ "$(setup_value "$setup_uninst" PreviousScreenSaver)" = "$setup_sys\\other.scr" ] || bad+=" PreviousScreenSaver"
    if [ -z "$bad" ]; then
      pass "setup selects Pyrelume and registers the uninstaller (name, version, publisher, icon, size)"
    else
      fail "setup selects Pyrelume and registers the uninstaller:$bad"
    fi

    # The selected saver, from where it was installed, shows the fireplace.
    saver=$(setup_value "$setup_desktop" SCRNSAVE.EXE || true)
    mkdir -p "$work/setup-s"
    (cd "$work/setup-s" && exec timeout 60 wine "$saver" /s >/dev/null 2>&1) &
    saver_pid=$!
    if [ -n "$saver" ] && saver_wait_picture "${PYRELUME_SCREEN_SHOTS:-$work}/setup-saver.png"; then
      pass "the installed saver /s shows the fireplace"
    else
      fail "the installed saver /s shows the fireplace (no warm full-screen picture within 30 s)"
    fi
    saver_stop

    # A reinstall over the installation works and keeps the first recorded saver.
    rc=0
    timeout 180 wine "$setup_exe" /S >/dev/null 2>&1 || rc=$?
    if [ "$rc" = 0 ] && [ -f "$setup_c/windows/system32/Pyrelume.scr" ] &&
       [ "$(setup_value "$setup_uninst" PreviousScreenSaver)" = "$setup_sys\\other.scr" ]; then
      pass "setup /S over an installation works and keeps the previous screen saver"
    else
      fail "setup /S over an installation works and keeps the previous screen saver (rc $rc)"
    fi

    # Silent uninstall: nothing left, the previous saver back, settings kept.
    cp "$setup_c/Program Files/Pyrelume/Uninstall.exe" "$work/setup-uninstall-copy.exe" 2>/dev/null || true
    rc=0
    setup_uninstall /S || rc=$?
    left=$(setup_leftovers)
    if [ "$rc" = 0 ] && [ -z "$left" ] &&
       [ "$(setup_value "$setup_desktop" SCRNSAVE.EXE)" = "$setup_sys\\other.scr" ] &&
       [ "$(setup_value "$setup_desktop" ScreenSaveActive)" = 0 ] &&
       [ "$(setup_value "$setup_settings" FlameWidth)" = 160 ]; then
      pass "uninstall /S removes everything, restores the previous saver and keeps the settings"
    else
      fail "uninstall /S removes everything, restores the previous saver and keeps the settings (rc $rc; left: $left)"
    fi

    # The uninstaller of a removed installation changes nothing and ends with 0.
    rc=0
    timeout 120 wine "$work/setup-uninstall-copy.exe" /S "_?=C:\\Program Files\\Pyrelume" >/dev/null 2>&1 || rc=$?
    left=$(setup_leftovers)
    if [ "$rc" = 0 ] && [ -z "$left" ] && [ "$(setup_value "$setup_desktop" SCRNSAVE.EXE)" = "$setup_sys\\other.scr" ]; then
      pass "uninstall of a removed installation ends cleanly"
    else
      fail "uninstall of a removed installation ends cleanly (rc $rc; left: $left)"
    fi

    # Without a previous saver: none again after the uninstall; /REMOVESETTINGS
    # deletes the user's settings and the company key left empty.
    timeout 60 wine reg delete "$setup_desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1 || true
    rc=0
    timeout 180 wine "$setup_exe" /S >/dev/null 2>&1 || rc=$?
    setup_uninstall /S /REMOVESETTINGS || rc=$?
    if [ "$rc" = 0 ] && [ -z "$(setup_leftovers)" ] && ! setup_value "$setup_desktop" SCRNSAVE.EXE >/dev/null &&
       ! setup_key_exists 'HKCU\Software\Varnel Software'; then
      pass "uninstall /S /REMOVESETTINGS removes the settings; no previous saver leaves none selected"
    else
      fail "uninstall /S /REMOVESETTINGS removes the settings; no previous saver leaves none selected (rc $rc)"
    fi

    # A saver the user chose after the install stays selected.
    rc=0
    timeout 180 wine "$setup_exe" /S >/dev/null 2>&1 || rc=$?
    setup_set "$setup_desktop" SCRNSAVE.EXE "$setup_sys\\mine.scr" || true
    setup_uninstall /S || rc=$?
    if [ "$rc" = 0 ] && [ -z "$(setup_leftovers)" ] &&
       [ "$(setup_value "$setup_desktop" SCRNSAVE.EXE)" = "$setup_sys\\mine.scr" ]; then
      pass "uninstall keeps a screen saver chosen after the install"
    else
      fail "uninstall keeps a screen saver chosen after the install (rc $rc)"
    fi

    wine_x_stop
  fi
  wine_end
  export WINEPREFIX="$setup_old_prefix"
fi
