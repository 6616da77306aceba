#!/usr/bin/env bash
# BMP decode, whole process: our tavis_decode (release build) against netpbm's bmptopnm and
# ImageMagick's convert on the same large files, each file in one hyperfine run, then the peak
# memory of each. The files are made here with ImageMagick: a 4000x3000 24-bit picture and the
# same picture reduced to 256 colours and stored as RLE8.
# Usage: bench/bmp_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_decode 20 "$@"
[ -f "$dir/big24.bmp" ] || "$im" -size 4000x3000 -seed 1 plasma:fractal -blur 0x1 -depth 8 \
  -type TrueColor "bmp3:$dir/big24.bmp"
[ -f "$dir/big8rle.bmp" ] || "$im" "$dir/big24.bmp" +dither -colors 256 -compress RLE \
  "bmp3:$dir/big8rle.bmp"
"$im" -size 1x1 xc:white -type TrueColor "bmp3:$dir/tiny.bmp"

for f in big24 big8rle; do
  file=$dir/$f.bmp
  # The same pixels first, or the timing means nothing.
  "$tool" -o "$dir/$f.ours.ppm" "$file"
  "$im" "$file" -depth 8 "ppm:$dir/$f.im.ppm"
  cmp -s "$dir/$f.ours.ppm" "$dir/$f.im.ppm" || { echo "$f: outputs differ"; exit 1; }
  rm -f "$dir/$f.ours.ppm" "$dir/$f.im.ppm"

  echo "== $f.bmp ($("$tool" -i "$file" | sed -n 2p | cut -c2-))"
  hyperfine -N --warmup 3 --runs "$runs" --export-json "$dir/$f.json" \
    -n tavis_decode "$tool -o - $file" -n bmptopnm "bmptopnm $file" \
    -n convert "$im $file ppm:-" >/dev/null 2>&1
  report "$dir/$f.json" tavis_decode
  peak "$tool -o - $file" "bmptopnm $file" "$im $file ppm:-"
done
/usr/bin/time -f "  baseline: peak %M KB for a 1x1 picture" "$tool" -o - "$dir/tiny.bmp" 2>&1 >/dev/null
