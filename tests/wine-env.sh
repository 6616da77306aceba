# Sourced by the scripts: how this machine runs Windows programs, and the project's private Wine
# prefix. Wine and its prefix live in the build folder so that nothing outside the project changes.
#
# Three ways, chosen once per run by a probe of the machine (TAVIS_WINE_MODE forces one):
#   1 native  the 32-bit Wine loader runs here: 32- and 64-bit programs run as they are;
#   2 qemu    it does not (a kernel without 32-bit support), but qemu-i386 10 or later can run it:
#             qemu is registered for 32-bit programs in a private binfmt_misc inside a user and
#             mount namespace, so nothing changes outside the run;
#   3 wine64  neither: only the 64-bit programs run, through wine64 directly; the 32-bit ones are
#             counted as not run.
# TAVIS_WINE_HIDE32=1 hides the 32-bit loader from the probe, to try modes 2 and 3 anywhere.
: "${TAVIS_ROOT:?}"
export WINEPREFIX="${TAVIS_WINEPREFIX:-$TAVIS_ROOT/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH

TAVIS_WINE32_LOADER=/usr/lib/wine/wine
TAVIS_WINE64_LOADER=/usr/lib/wine/wine64
TAVIS_QEMU_I386=/usr/bin/qemu-i386

# The one-line probe: can this process start the 32-bit loader?
wine_loader32_works() {
  if [ "${TAVIS_WINE_HIDE32:-0}" = 1 ] && [ -z "${TAVIS_IN_QEMU_NAMESPACE:-}" ]; then
    return 1
  fi
  "$TAVIS_WINE32_LOADER" --version >/dev/null 2>&1
}

qemu_i386_major() {
  [ -x "$TAVIS_QEMU_I386" ] || { echo 0; return; }
  "$TAVIS_QEMU_I386" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p' | head -n1
}

# Debian 12's own qemu 7.2 takes minutes per Wine start and crashes the test programs.
qemu_i386_usable() {
  local major
  major=$(qemu_i386_major)
  [ "${major:-0}" -ge 10 ]
}

# Runs CMD with qemu-i386 registered for 32-bit x86 programs in a private binfmt_misc (Linux 6.7
# or later). Exits 125 when the namespace or the registration cannot be made.
in_qemu_namespace() {
  if [ -n "${TAVIS_IN_QEMU_NAMESPACE:-}" ]; then
    "$@"
    return
  fi
  unshare --user --map-root-user --mount --propagation private bash -c '
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || exit 125
    # qemu'"'"'s own i386 ELF magic and mask (executables and shared objects); binfmt_misc
    # decodes the \x escapes itself. F: the interpreter is opened now, not in each program.
    printf "%s" ":tavis-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$0:F" \
      > /proc/sys/fs/binfmt_misc/register 2>/dev/null || exit 125
    export TAVIS_IN_QEMU_NAMESPACE=1
    exec "$@"' "$TAVIS_QEMU_I386" "$@"
}

# Chooses the mode once; children inherit it through the environment.
# Sets TAVIS_WINE_MODE_USED (1, 2 or 3), TAVIS_WINE_MODE_WHY, and WINE (the command that starts
# a Windows program in this mode). Fails when a forced mode cannot work here.
wine_choose_mode() {
  if [ -z "${TAVIS_WINE_MODE_USED:-}" ]; then
    local want=${TAVIS_WINE_MODE:-auto} mode why
    case $want in
      1|native) mode=1 ;;
      2|qemu) mode=2 ;;
      3|wine64) mode=3 ;;
      auto|"") mode=auto ;;
      *) echo "TAVIS_WINE_MODE=$want: use native, qemu, wine64 (or 1, 2, 3) or auto" >&2; return 1 ;;
    esac
    if [ ! -x "$TAVIS_WINE64_LOADER" ]; then
      echo "wine64 is not installed ($TAVIS_WINE64_LOADER): run scripts/setup" >&2
      return 1
    fi
    if [ "$mode" = auto ]; then
      if wine_loader32_works; then
        mode=1 why="the 32-bit Wine loader runs on this machine"
      elif qemu_i386_usable && in_qemu_namespace "$TAVIS_WINE32_LOADER" --version >/dev/null 2>&1; then
        mode=2 why="this kernel cannot run 32-bit programs: 32-bit Wine runs under qemu-i386 $(qemu_i386_major) in a private namespace"
      else
        mode=3
        if qemu_i386_usable; then
          why="this kernel cannot run 32-bit programs and no private binfmt_misc can be made for qemu-i386 (Linux 6.7 or later, user namespaces)"
        else
          why="this kernel cannot run 32-bit programs and qemu-i386 10 or later is not installed"
        fi
      fi
    else
      case $mode in
        1) why="forced by TAVIS_WINE_MODE"
           wine_loader32_works || { echo "TAVIS_WINE_MODE=$want: the 32-bit Wine loader does not run here" >&2; return 1; } ;;
        2) why="forced by TAVIS_WINE_MODE: 32-bit Wine runs under qemu-i386 $(qemu_i386_major) in a private namespace"
           qemu_i386_usable || { echo "TAVIS_WINE_MODE=$want: qemu-i386 10 or later is not installed (scripts/setup installs it when the 32-bit loader does not run)" >&2; return 1; }
           in_qemu_namespace "$TAVIS_WINE32_LOADER" --version >/dev/null 2>&1 \
             || { echo "TAVIS_WINE_MODE=$want: 32-bit Wine does not start under qemu-i386 in a private namespace" >&2; return 1; } ;;
        3) why="forced by TAVIS_WINE_MODE: 64-bit programs only" ;;
      esac
    fi
    export TAVIS_WINE_MODE_USED=$mode TAVIS_WINE_MODE_WHY=$why
  fi
  if [ "$TAVIS_WINE_MODE_USED" = 3 ]; then
    # Debian's wine wrapper always goes through the 32-bit loader: call wine64 itself.
    export WINE=$TAVIS_WINE64_LOADER WINELOADER=$TAVIS_WINE64_LOADER
  else
    export WINE=wine
  fi
}

wine_mode_text() {
  case ${TAVIS_WINE_MODE_USED:-} in
    1) echo "mode 1 (native: $TAVIS_WINE_MODE_WHY)" ;;
    2) echo "mode 2 (qemu: $TAVIS_WINE_MODE_WHY)" ;;
    3) echo "mode 3 (wine64 only, 32-bit programs NOT RUN: $TAVIS_WINE_MODE_WHY)" ;;
    *) echo "mode not chosen" ;;
  esac
}

# Runs CMD where Wine works in the chosen mode (inside the qemu namespace in mode 2).
wine_in_mode() {
  if [ "$TAVIS_WINE_MODE_USED" = 2 ]; then
    in_qemu_namespace "$@"
  else
    "$@"
  fi
}

# A PE file whose machine field says i386.
exe_is_32bit() {
  local off machine
  off=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$off" ] || return 1
  machine=$(od -An -t x2 -j $((off + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  [ "$machine" = 014c ]
}

# The Windows build that runs fully in this mode (the shipped 32-bit one, unless only 64-bit runs).
wine_preset() {
  if [ "${TAVIS_WINE_MODE_USED:-}" = 3 ]; then echo mingw64; else echo mingw32; fi
}

# The prefix records its kind: "wow64" (32- and 64-bit programs) or "win64" (64-bit only).
wine_prefix_kind_wanted() {
  if [ "${TAVIS_WINE_MODE_USED:-}" = 3 ]; then echo win64; else echo wow64; fi
}

wine_prefix_ready() {
  local kind
  kind=$(wine_prefix_kind_wanted)
  [ -f "$WINEPREFIX/.tavis-ready" ] && [ "$(cat "$WINEPREFIX/.tavis-ready")" = "$kind" ] || return 1
  # A prefix made by wine64 has an empty syswow64 folder: look for the 32-bit system files.
  [ "$kind" = win64 ] || [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
}

# Makes the prefix again when it is missing or of the other kind. Runs where Wine works (inside
# the qemu namespace in mode 2) and under an X server.
make_wine_prefix() {
  wine_prefix_ready && return 0
  local kind
  kind=$(wine_prefix_kind_wanted)
  [ -e "$WINEPREFIX" ] && echo "Making the Wine prefix again ($kind)..." >&2
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  "$WINE" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # Wine's own virtual desktop draws window frames under a bare X server and keeps exit codes.
  "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
  if [ "$kind" = wow64 ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "the Wine prefix has no 32-bit side" >&2
    return 1
  fi
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot made no Wine prefix" >&2; return 1; }
  echo "$kind" > "$WINEPREFIX/.tavis-ready"
}
