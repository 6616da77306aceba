#!/usr/bin/env bash
# Runs inside xvfb-run: each Windows test program given, under one Wine server.
# Wine can exit 0 without running anything, so a program counts only by its own GoogleTest
# summary. Writes "passed failed skipped" totals to $TAVIS_WINE_TOTALS.
set -u
TAVIS_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$TAVIS_ROOT/tests/wine-env.sh"
wineserver -p >/dev/null 2>&1
wine wineboot >/dev/null 2>&1
passed=0 failed=0 skipped=0 bad=0
for exe in "$@"; do
  name=${exe#$TAVIS_ROOT/build/}
  log=$(mktemp)
  (cd "$(dirname "$exe")" && timeout 900 wine "$exe" --gtest_color=no) >"$log" 2>&1
  rc=$?
  p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -n1)
  f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below:.*/\1/p' "$log" | tail -n1)
  s=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?, listed below:.*/\1/p' "$log" | tail -n1)
  total=$(sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' "$log" | tail -n1)
  if [ -z "$total" ]; then
    echo "FAILED: $name ran no test (exit $rc):"
    tail -n 20 "$log"
    bad=$((bad + 1))
  else
    p=${p:-0}; f=${f:-0}; s=${s:-0}
    passed=$((passed + p)); failed=$((failed + f)); skipped=$((skipped + s))
    echo "wine $name: $p passed, $f failed, $s skipped (exit $rc)"
    if [ "$f" != 0 ] || [ "$rc" != 0 ]; then
      grep -E '^\[  FAILED  \]|Failure|error' "$log" | head -n 40
      [ "$f" = 0 ] && bad=$((bad + 1))
    fi
  fi
  rm -f "$log"
done
wineserver -k >/dev/null 2>&1 || true
echo "$passed $((failed + bad)) $skipped" > "${TAVIS_WINE_TOTALS:-/dev/null}"
[ $((failed + bad)) = 0 ]
