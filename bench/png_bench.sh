#!/usr/bin/env bash
# PNG decode and encode, whole process, on a 4000x3000 photo: our tavis_decode (release build)
# against netpbm (pngtopam, pnmtopng) and ImageMagick's convert, each in one hyperfine run, then
# the peak memory of each. The photo is the test photo jpeg/video-001.jpeg enlarged by
# ImageMagick with a little Gaussian noise, so it has a photo's spread of colours at that size;
# pnmtopng stores it as the PNG that the decoders read. The encoders read the same pixels: ours
# as a BMP (our reader of netpbm files is not there), the others as a PPM.
# Usage: bench/png_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_decode 10 "$@"
make_photo
[ -f "$dir/photo.png" ] || pnmtopng "$dir/photo.ppm" >"$dir/photo.png"
"$im" -size 1x1 xc:white -depth 8 "$dir/tiny.png"

# The same pixels first, or the timing means nothing.
"$tool" -o "$dir/ours.ppm" "$dir/photo.png"
cmp -s "$dir/ours.ppm" "$dir/photo.ppm" || { echo "decode: pixels differ"; exit 1; }
"$tool" -w png -o "$dir/ours.png" "$dir/photo.bmp"
pngcheck -q "$dir/ours.png" >/dev/null
pngtopam "$dir/ours.png" | cmp -s - "$dir/photo.ppm" || { echo "encode: pixels differ"; exit 1; }
rm -f "$dir/ours.ppm"

echo "== decode photo.png ($(stat -c %s "$dir/photo.png") bytes)"
hyperfine -N --warmup 2 --runs "$runs" --export-json "$dir/decode.json" \
  -n tavis_decode "$tool -o - $dir/photo.png" -n pngtopam "pngtopam $dir/photo.png" \
  -n convert "$im $dir/photo.png ppm:-" >/dev/null 2>&1
report "$dir/decode.json" tavis_decode
peak "$tool -o - $dir/photo.png" "pngtopam $dir/photo.png" "$im $dir/photo.png ppm:-"
/usr/bin/time -f "  baseline: peak %M KB for a 1x1 picture" "$tool" -o - "$dir/tiny.png" 2>&1 >/dev/null

echo "== encode (level 9 and adaptive filters for ours; each tool's defaults otherwise)"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$dir/encode.json" \
  -n tavis_decode "$tool -w png -o $dir/ours.png $dir/photo.bmp" \
  -n pnmtopng "pnmtopng $dir/photo.ppm" -n convert "$im $dir/photo.ppm png:-" >/dev/null 2>&1
report "$dir/encode.json" tavis_decode
pnmtopng "$dir/photo.ppm" >"$dir/netpbm.png"
"$im" "$dir/photo.ppm" "$dir/im.png"
for f in ours netpbm im; do echo "  size $f.png $(stat -c %s "$dir/$f.png") bytes"; done
peak "$tool -w png -o $dir/ours.png $dir/photo.bmp" "pnmtopng $dir/photo.ppm" \
  "$im $dir/photo.ppm png:-"
