#!/bin/bash
# The programs the manager runs come from its own folder by full path, never
# from the current directory or the PATH, also from a folder with blanks in
# its name; the password typed for another account reaches only the service
# control manager.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset
app="$WINEPREFIX/drive_c/Zemlo Apps/Linkvane"
app_win='C:\Zemlo Apps\Linkvane'
decoy="$WINEPREFIX/drive_c/decoy"
secret='Zq7-unique-S3cret'
rm -rf "$WINEPREFIX/drive_c/Zemlo Apps" "$decoy"
mkdir -p "$app" "$decoy"
cp "$ZLV_BUILD/ZemloLinkvaneManager.exe" "$ZLV_TESTBIN/Linkvane_Service.exe" "$ZLV_TESTBIN/Linkvane.exe" "$app/"
# Decoys in the current directory and on the PATH: the stand-ins write beside
# their own program, so a decoy that runs leaves its files in the decoy folder.
cp "$ZLV_TESTBIN/Linkvane_Service.exe" "$ZLV_TESTBIN/Linkvane.exe" "$decoy/"
export WINEPATH='C:\decoy'
manager() { (cd "$decoy" && timeout 90 wine "$app_win\\ZemloLinkvaneManager.exe" "$@" >/dev/null 2>&1); }

manager -INSTALL
check_eq "-INSTALL from the decoy folder succeeds" 0 $?
check_eq "the image path is the quoted full path in the folder with blanks" \
  "\"$app_win\\Linkvane_Service.exe\"" "$(zlv_service_value ImagePath)"
manager -START
check_eq "-START succeeds" 0 $?
for _ in $(seq 50); do [ -s "$app/pid.txt" ] && break; sleep 0.1; done
check "the real service program runs" [ -s "$app/pid.txt" ]
check "the decoy service program does not" [ ! -e "$decoy/pid.txt" ]
manager -STOP
check_eq "-STOP succeeds" 0 $?

(cd "$decoy" && timeout 90 wine "$app_win\\ZemloLinkvaneManager.exe" -REMOTE >/dev/null 2>&1 &)
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
for _ in $(seq 50); do [ -s "$app/launched.txt" ] && break; sleep 0.1; done
check "-REMOTE runs the real desktop program" [ -s "$app/launched.txt" ]
check "in its own folder" grep -qF "cwd=$app_win" "$app/launched.txt"
check "and not the decoy" [ ! -e "$decoy/launched.txt" ]

# Install As with a password that appears nowhere else.
dialog="Set Zemlo Linkvane Service Login"
drv click "$ZLV_TITLE" "Install As" >/dev/null
drv wait-visible "$dialog" 10000 >/dev/null
drv settext "$dialog" Edit#0 '.\operator' >/dev/null
drv settext "$dialog" Edit#1 "$secret" >/dev/null
drv click "$dialog" OK >/dev/null
check "Install As succeeds" drv wait-status "$ZLV_TITLE" "Service installed successfully" 20000
check_eq "under the blank folder, quoted" "\"$app_win\\Linkvane_Service.exe\"" "$(zlv_service_value ImagePath)"
drv close "$ZLV_TITLE" >/dev/null
drv gone "$ZLV_TITLE" 10000 >/dev/null
# The registry reaches its files on disk only when the server ends.
timeout 10 wineserver -k 2>/dev/null
timeout 20 wineserver -w 2>/dev/null
leaks=$(grep -rlaF --exclude-dir=system32 --exclude-dir=syswow64 --exclude-dir=Fonts \
  --exclude-dir=winsxs -e "$secret" "$WINEPREFIX" 2>/dev/null)
check_eq "the password is in no file of the prefix: settings, registry, logs, crash reports" "" "$leaks"
check "the account name is remembered" grep -q 'Username=.\\operator' "$app/ZemloLinkvaneManager-Settings.ini"
wineserver -p60 </dev/null >/dev/null 2>&1
timeout 30 wine reg delete "$ZLV_SERVICE_KEY" /f >/dev/null 2>&1
rm -rf "$WINEPREFIX/drive_c/Zemlo Apps" "$decoy"
zlv_finish
