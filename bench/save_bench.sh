#!/usr/bin/env bash
# Saving a 25-megapixel photo (5800x4350, 24 bits) through the save pipeline as JPEG, PNG and
# TIFF, whole process: our tavis_picop save: (release build; it reads the photo as a BMP and
# saves it as the picture window's Save does) against cjpeg, pnmtopng and pamtotiff reading
# the same pixels as a PPM, each pair in one hyperfine run. The photo is the test photo
# jpeg/video-001.jpeg enlarged by ImageMagick with a little Gaussian noise, so it has a
# photo's spread of colours.
# Usage: bench/save_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_picop 5 "$@"
big=$dir/photo25.ppm
[ -f "$big" ] || "$im" "$testdata/jpeg/video-001.jpeg" -resize 5800x4350! -seed 1 \
  -attenuate 0.3 +noise Gaussian -depth 8 "ppm:$big"
[ -f "$dir/photo25.bmp" ] || "$im" "$big" "bmp3:$dir/photo25.bmp"

# The same pixels out first (lossless formats), or the timing means nothing.
"$tool" save:png "$dir/photo25.bmp" "$dir/save.png"
pngtopam "$dir/save.png" | cmp -s - "$big" || { echo "png: pixels differ"; exit 1; }
"$tool" save:tif "$dir/photo25.bmp" "$dir/save.tif"
tifftopnm "$dir/save.tif" 2>/dev/null | cmp -s - "$big" || { echo "tif: pixels differ"; exit 1; }
"$tool" save:jpg,q=75 "$dir/photo25.bmp" "$dir/save.jpg"
djpeg "$dir/save.jpg" >/dev/null

echo "== JPEG, quality 75"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$dir/save_jpg.json" \
  -n tavis_picop "$tool save:jpg,q=75 $dir/photo25.bmp $dir/save.jpg" \
  -n cjpeg "cjpeg -quality 75 -outfile $dir/cjpeg.jpg $big" >/dev/null 2>&1
report "$dir/save_jpg.json" tavis_picop
echo "== PNG (ours: level 9, adaptive filters; pnmtopng: its defaults)"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$dir/save_png.json" \
  -n tavis_picop "$tool save:png $dir/photo25.bmp $dir/save.png" \
  -n pnmtopng "sh -c 'pnmtopng $big >$dir/netpbm.png'" >/dev/null 2>&1
report "$dir/save_png.json" tavis_picop
echo "== TIFF, uncompressed"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$dir/save_tif.json" \
  -n tavis_picop "$tool save:tif $dir/photo25.bmp $dir/save.tif" \
  -n pamtotiff "sh -c 'pamtotiff $big >$dir/netpbm.tif'" >/dev/null 2>&1
report "$dir/save_tif.json" tavis_picop
for f in save.jpg cjpeg.jpg save.png netpbm.png save.tif netpbm.tif; do
  echo "  size $f $(stat -c %s "$dir/$f") bytes"
done
