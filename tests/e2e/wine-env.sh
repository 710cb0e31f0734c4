# Sourced with the build folder as $1: the Wine environment every test shares.
ZLV_BUILD=$(cd "$1" && pwd)
export WINEPREFIX="$ZLV_BUILD/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all,err+winediag
export WINEDLLOVERRIDES="mscoree,mshtml="
# The folder the manager is installed into inside the prefix (C:\Zemlo).
ZLV_APPDIR="$WINEPREFIX/drive_c/Zemlo"
ZLV_APPDIR_WIN='C:\Zemlo'
