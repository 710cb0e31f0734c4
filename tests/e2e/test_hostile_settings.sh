#!/bin/bash
# Hostile settings files: read-only, binary garbage, 10 MB, numbers that do
# not fit their type, a folder without write access. None may lose a byte of
# what was there, and none may leave the manager hanging.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset
work=$(mktemp -d)
trap 'chmod -R u+w "$ZLV_APPDIR" 2>/dev/null; rm -rf "$work"' EXIT

close_manager() {
  drv close "$ZLV_TITLE" >/dev/null
  drv gone "$ZLV_TITLE" 15000
}

# Read-only file: the close still ends the program, the file keeps its bytes.
# (The beep of each refused write cannot be observed under Wine.)
printf '[Display Options]\r\nTop=1440\r\nLeft=2880\r\nState=0\r\n; hand note\r\n' >"$ZLV_INI"
chmod 444 "$ZLV_INI"
cp "$ZLV_INI" "$work/readonly.ini"
zlv_start
check "a read-only settings file: the window opens" drv wait-visible "$ZLV_TITLE" 20000
check_eq "at the place the file holds" "192 96" "$(drv rect "$ZLV_TITLE" | cut -d' ' -f1,2)"
check "the close box still ends the manager" close_manager
check "the read-only file keeps every byte" cmp -s "$work/readonly.ini" "$ZLV_INI"
check "no temporary file is left behind" [ -z "$(ls "$ZLV_APPDIR" | grep -i 'tmp')" ]
chmod 644 "$ZLV_INI"

# Binary garbage, no usable section: defaults, and the close appends its
# section after the garbage, which stays byte for byte.
perl -e 'srand(7); print map { chr(int rand 256) } 1 .. 8192' >"$ZLV_INI"
cp "$ZLV_INI" "$work/garbage.ini"
zlv_start
check "binary garbage: the window opens" drv wait-visible "$ZLV_TITLE" 20000
check "binary garbage: the close ends the manager" close_manager
size=$(stat -c %s "$work/garbage.ini")
check "the garbage is kept byte for byte" cmp -s -n "$size" "$work/garbage.ini" "$ZLV_INI"
check_eq "the state key is readable after it" 0 "$(zlv_ini_value "Display Options" State)"

# 10 MB of other entries around the manager's section: the placement is read,
# the close rewrites exactly the three keys.
perl -e '
  for my $s (1 .. 1200) {
    print "[Section $s]\r\n";
    print "Key$_=" . ("v" x 60) . "\r\n" for 1 .. 120;
    print "[Display Options]\r\nTop=720\r\nLeft=1440\r\nState=0\r\n" if $s == 600;
  }' >"$ZLV_INI"
cp "$ZLV_INI" "$work/big.ini"
zlv_start
check "a 10 MB file: the window opens" drv wait-visible "$ZLV_TITLE" 30000
check_eq "at the place the file holds" "96 48" "$(drv rect "$ZLV_TITLE" | cut -d' ' -f1,2)"
check "a 10 MB file: the close ends the manager" close_manager
others() { grep -av -e '^Top=' -e '^Left=' -e '^State=' "$1"; }
check "every other byte of the 10 MB file is kept" cmp -s <(others "$work/big.ini") <(others "$ZLV_INI")
check_eq "the keys are written in place" "720 1440 0" \
  "$(echo $(zlv_ini_value "Display Options" Top) $(zlv_ini_value "Display Options" Left) $(zlv_ini_value "Display Options" State))"
check_eq "the size is unchanged" "$(stat -c %s "$work/big.ini")" "$(stat -c %s "$ZLV_INI")"

# Numbers that do not fit: the critical error under LoadSettings, exit code 3,
# no window, nothing written.
for bad in "State=70000" "Top=3000000000"; do
  printf '[Display Options]\r\nTop=100\r\nLeft=100\r\nState=0\r\n' |
    sed "s/^${bad%%=*}=.*/$bad\r/" >"$ZLV_INI"
  cp "$ZLV_INI" "$work/bad.ini"
  rm -f "$work/rc"
  (cd "$ZLV_APPDIR" && timeout 60 wine "$ZLV_APPDIR_WIN\\ZemloLinkvaneManager.exe" >/dev/null 2>&1
    echo $? >"$work/rc") &
  box="#32770:Critical Error"
  check "$bad: the critical error appears" drv wait-visible "$box" 20000
  text=$(drv dialog "$box")
  check "$bad: it names module LinkvaneManager" grep -q "Module Name: LinkvaneManager" <<<"$text"
  check "$bad: and procedure LoadSettings" grep -q "Procedure Name: LoadSettings" <<<"$text"
  state=$(drv state "$ZLV_TITLE" 2>/dev/null)
  check "$bad: no manager window is shown [${state:-none}]" [ "${state%% *}" != normal ]
  drv click "$box" OK >/dev/null
  for _ in $(seq 100); do [ -s "$work/rc" ] && break; sleep 0.1; done
  check_eq "$bad: the program ends with exit code 3" 3 "$(cat "$work/rc" 2>/dev/null)"
  check "$bad: nothing is written" cmp -s "$work/bad.ini" "$ZLV_INI"
done

# A folder without write access. Wine maps access to the Unix permissions of
# the user it runs as, and root writes anywhere: then the case cannot be made.
rm -f "$ZLV_INI"
chmod 555 "$ZLV_APPDIR"
if touch "$ZLV_APPDIR/.probe" 2>/dev/null; then
  rm -f "$ZLV_APPDIR/.probe"
  echo "skip - a folder without write access: running as $(id -un), who may write to a mode 555 folder"
else
  zlv_start
  check "a read-only folder: the window opens" drv wait-visible "$ZLV_TITLE" 20000
  check "a read-only folder: the close ends the manager" close_manager
  check "no settings file appears" [ ! -e "$ZLV_INI" ]
fi
chmod 755 "$ZLV_APPDIR"
zlv_finish
