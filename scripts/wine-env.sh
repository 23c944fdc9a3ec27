# Sourced by the Windows test scripts: a Wine prefix of Gridloom's own, made once.
#   WINEPREFIX  the prefix (default build-win64/wineprefix); made with wineboot the first time,
#               with Arial mapped to Liberation Sans as on the Linux side
#   WINE64      the 64-bit loader, WINE32 the 32-bit one when wine32 is installed and this
#               kernel can run 32-bit programs
export WINEPREFIX=${WINEPREFIX:-$root/build-win64/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer dialogs
WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
WINE32=""
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    WINE32=/usr/lib/wine/wine
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1
    "$WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null
    wineserver -w
fi
