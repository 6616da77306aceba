#!/usr/bin/env bash
# The main window's first full thumbnail view of a folder of photos, under Wine (thumbview_bench:
# the window made as the program makes it, its list in thumbnail mode, the folder opened; timed
# until the thumbnail pass has ended and the list has painted), first with a new database, then
# with the database filled; against the native thumbnail maker tavis_thumbs (release build, a
# new database) on the same folder, in one run: the time per picture of each and their ratio.
# The photos are the thumbnail benchmark's (thumb_photos in common.sh).
# Usage: bench/thumbview_bench.sh [count] [preset]   (1000 photos and the preset this machine
# runs when not given)
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_thumbs 1000 "${1:-}"
count=$runs
preset=${2:-}
thumb_photos "$count"
photos=$dir/thumbs/photos-$count
export TAVIS_ROOT=$root
. tests/wine-env.sh
wine_choose_mode || exit 1
[ -n "$preset" ] || preset=$(wine_preset)
[ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target thumbview_bench >/dev/null

now() { date +%s.%N; }
rm -f "$dir/thumbs/view-native.th"?
start=$(now)
"$tool" "$dir/thumbs/view-native.thm" "$photos" >/dev/null
native=$(python3 -c "import sys; print(float(sys.argv[2]) - float(sys.argv[1]))" "$start" "$(now)")
rm -f "$dir/thumbs/view-native.th"?

# Drive Z: tells no volume label or serial, which the database keys its folders by: the photos
# go on drive C: of the project's prefix, as hard links again.
if ! out=$(tests/wine-session bash -c '
  drive=$WINEPREFIX/drive_c/tavis-bench
  rm -rf "$drive" && mkdir -p "$drive" && cp -al "$1" "$drive/photos"
  tests/wine-exec "$2" "C:\tavis-bench\photos" "C:\tavis-bench\view"
  rc=$?
  rm -rf "$drive"
  exit $rc' bench "$photos" "build/$preset/bench/thumbview_bench.exe" | tr -d '\r'); then
  echo "$out"
  echo "thumbview_bench did not show every thumbnail" >&2
  exit 1
fi
echo "$out"
python3 - "$native" "$count" "$preset" <<PY
import re, sys
native, count, preset = float(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
per = native * 1000 / count
print(f"native tavis_thumbs: {count} thumbnails in {native:.2f} s, {per:.1f} ms per picture")
found = re.findall(r"^(database \w+): (\d+) thumbnails in ([\d.]+) s, ([\d.]+) ms", """$out""", re.M)
for what, n, secs, ms in found:
    print(f"  {what} ({preset} under Wine) / native per picture: {float(ms) / per:.2f}")
sys.exit(0 if len(found) == 2 else "thumbview_bench printed no figures")
PY
