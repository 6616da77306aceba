#!/usr/bin/env bash
# The picture window's road against the decoder alone: time from the start of a Windows program
# to the first full paint of a 25-megapixel JPEG in its picture window, under Wine, against the
# same file's decode by libjpeg-turbo's djpeg (native), in one run. The picture is the test photo
# enlarged to 5800x4350 with a little noise, stored by cjpeg at quality 90.
# Usage: bench/picture_window_bench.sh [runs] [preset]   (by default the one this machine runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-5}
preset=${2:-}
im=$(command -v convert-im6.q16 || command -v convert)
testdata=${TAVIS_TESTDATA:-$root/../shared/testdata}
dir=$root/build/bench
mkdir -p "$dir"
photo=$dir/photo25.jpg
if [ ! -f "$photo" ]; then
  "$im" "$testdata/jpeg/video-001.jpeg" -resize 5800x4350! -seed 1 -attenuate 0.3 \
    +noise Gaussian -depth 8 "ppm:$dir/photo25.ppm"
  cjpeg -quality 90 -outfile "$photo" "$dir/photo25.ppm"
  rm -f "$dir/photo25.ppm"
fi
export TAVIS_ROOT=$root
. tests/wine-env.sh
wine_choose_mode || exit 1
[ -n "$preset" ] || preset=$(wine_preset)
[ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target picture_window_bench >/dev/null
exe=build/$preset/bench/picture_window_bench.exe
tests/wine-session bash -c '
  photo=$(echo "Z:$1" | tr / \\\\)
  for i in $(seq "$2"); do tests/wine-exec "$3" "$photo"; done' bench "$photo" "$runs" "$exe" \
  | tee "$dir/picture_window.txt"
ours=$(sed -n "s/^first full paint: \([0-9]*\) ms.*/\1/p" "$dir/picture_window.txt" | sort -n | head -n1)
hyperfine -N --warmup 1 --runs "$runs" --export-json "$dir/djpeg25.json" \
  "djpeg -bmp -outfile /dev/null $photo" >/dev/null 2>&1
theirs=$(python3 -c "import json; print(round(min(json.load(open('$dir/djpeg25.json'))['results'][0]['times'])*1000))")
echo "== 25-megapixel JPEG: start to first full paint (best of $runs) ${ours} ms," \
  "djpeg decode ${theirs} ms, ratio $(python3 -c "print(round($ours/$theirs, 2))")"
# Processor time, which a loaded machine distorts less: ours as the process counts it (under
# qemu it is the emulated program's), djpeg's user + system time from the same hyperfine run.
ourcpu=$(sed -n "s/^first full paint: .*cpu \([0-9]*\) ms.*/\1/p" "$dir/picture_window.txt" | sort -n | head -n1)
theircpu=$(python3 -c "import json; r=json.load(open('$dir/djpeg25.json'))['results'][0]; print(round((r['user']+r['system'])*1000))")
echo "== processor time (best of $runs) ${ourcpu} ms, djpeg ${theircpu} ms (mean)," \
  "ratio $(python3 -c "print(round($ourcpu/$theircpu, 2))")"
