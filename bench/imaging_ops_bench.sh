#!/usr/bin/env bash
# Colour reduction and resizing, whole process: our tavis_picop (release build) against
# ImageMagick's convert on the same 4000x3000 photo, BMP in and BMP out, in one hyperfine run
# per operation. The photo is the test photo enlarged by ImageMagick with a little noise, so
# that it has a photo's spread of colours at that size. Before the timing, the mean error per
# channel of both 256-colour results against the photo.
# Usage: bench/imaging_ops_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_picop 10 "$@"
photo=$dir/photo4000.bmp
[ -f "$photo" ] || "$im" "$testdata/jpeg/video-001.jpeg" -resize '4000x3000!' -seed 1 \
  -attenuate 0.3 +noise Gaussian -type TrueColor "bmp3:$photo"

"$tool" reduce:256 "$photo" "$dir/ours256.bmp"
"$im" "$photo" -colors 256 "bmp3:$dir/im256.bmp"
/usr/bin/python3 - "$photo" "$dir/ours256.bmp" "$dir/im256.bmp" <<'EOF'
import sys
from PIL import Image, ImageChops, ImageStat
src = Image.open(sys.argv[1]).convert("RGB")
for name, f in (("tavis_picop", sys.argv[2]), ("convert", sys.argv[3])):
    img = Image.open(f)
    colours = len(img.getcolors(1 << 24) or [])
    diff = ImageStat.Stat(ImageChops.difference(src, img.convert("RGB"))).mean
    print(f"  {name:12s} {colours} colours, mean error per channel {sum(diff) / 3:.2f}")
EOF

bench() {
  local label=$1 ours=$2 theirs=$3
  echo "== $label"
  hyperfine -N --warmup 1 --runs "$runs" --export-json "$dir/ops.json" \
    -n tavis_picop "$ours" -n convert "$theirs" >/dev/null 2>&1
  report "$dir/ops.json" tavis_picop "" 12
}
bench "ReduceOptimalDithered to 256 colours" \
  "$tool reduce:256 $photo $dir/ours256.bmp" "$im $photo -colors 256 bmp3:$dir/im256.bmp"
bench "ResizeImage smooth to 1000x750" \
  "$tool resize:1000x750:1 $photo $dir/ours_small.bmp" \
  "$im $photo -resize 1000x750! bmp3:$dir/im_small.bmp"
