#!/usr/bin/env bash
# Runs inside tests/wine-session: each Windows test program given, under the session's Wine server.
# Wine can exit 0 without running anything, so a program counts only by its own GoogleTest
# summary. A 32-bit program where only 64-bit ones run is counted as not run, never as passed.
# Writes "passed failed skipped notrun" totals to $TAVIS_WINE_TOTALS.
set -u
TAVIS_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$TAVIS_ROOT/tests/wine-env.sh"
wine_choose_mode || exit 1
passed=0 failed=0 skipped=0 bad=0 notrun=0

run_one() {
  (cd "$(dirname "$1")" && timeout 900 "$TAVIS_ROOT/tests/wine-exec" "$1" --gtest_color=no) >"$2" 2>&1
}

for exe in "$@"; do
  name=${exe#$TAVIS_ROOT/build/}
  if [ "$TAVIS_WINE_MODE_USED" = 3 ] && exe_is_32bit "$exe"; then
    echo "NOT RUN: $name (32-bit; this machine runs only 64-bit Windows programs)"
    notrun=$((notrun + 1))
    continue
  fi
  log=$(mktemp)
  run_one "$exe" "$log"
  rc=$?
  if [ $rc != 0 ] && [ ! -s "$log" ]; then
    # Seen once on a new prefix: the first program ended at once with nothing printed, while Wine
    # was still settling. Once more, and said, so a second silent end is a failure.
    echo "RETRY: $name ended with exit $rc and printed nothing; running it once more"
    sleep 2
    run_one "$exe" "$log"
    rc=$?
  fi
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
echo "$passed $((failed + bad)) $skipped $notrun" > "${TAVIS_WINE_TOTALS:-/dev/null}"
[ $((failed + bad)) = 0 ]
