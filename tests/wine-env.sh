# Sourced by the scripts: the project's private Wine prefix, made once.
# Wine and its prefix live in the build folder so that nothing outside the project changes.
: "${TAVIS_ROOT:?}"
export WINEPREFIX="${TAVIS_WINEPREFIX:-$TAVIS_ROOT/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH

wine_prefix_ready() { [ -f "$WINEPREFIX/.tavis-ready" ]; }

make_wine_prefix() {
  wine_prefix_ready && return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # Wine's own virtual desktop draws window frames under a bare X server and keeps exit codes.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
  [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] || { echo "wine prefix has no 32-bit side" >&2; return 1; }
  touch "$WINEPREFIX/.tavis-ready"
}
