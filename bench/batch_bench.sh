#!/usr/bin/env bash
# Batch convert and the folder-size scan, whole process: our tavis_batch (release build) against
# ImageMagick's mogrify converting the same 500 photos to JPEG (quality 75, into another
# folder), and against du summing a tree of 100,000 files in 1,000 folders. Checks that both
# count the same bytes first.
# Usage: bench/batch_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_batch 3 "$@"
cd "$dir"
# 500 photos of 640x480 (the test photo with a little noise, each its own file) as BMP sources.
if [ ! -d batch500 ]; then
  mkdir -p batch500.tmp
  "$im" "$testdata/jpeg/video-001.jpeg" -resize 640x480! -seed 2 -attenuate 0.3 \
    +noise Gaussian bmp3:batch500.tmp/base.bmp
  for i in $(seq -w 1 500); do cp batch500.tmp/base.bmp "batch500.tmp/photo$i.bmp"; done
  rm batch500.tmp/base.bmp
  mv batch500.tmp batch500
fi
# The tree: 1,000 folders of 100 files of 0 to 9,999 bytes.
if [ ! -d tree100k ]; then
  python3 - tree100k.tmp <<'PY'
import os, sys
root = sys.argv[1]
for d in range(1000):
    folder = os.path.join(root, "a%02d" % (d // 100), "b%03d" % d)
    os.makedirs(folder, exist_ok=True)
    for f in range(100):
        with open(os.path.join(folder, "f%03d" % f), "wb") as out:
            out.write(b"x" * ((d * 100 + f) * 7919 % 10000))
PY
  mv tree100k.tmp tree100k
fi
ours_bytes=$("$tool" scan tree100k | sed 's/.* files, \([0-9,]*\) bytes.*/\1/' | tr -d ,)
du_bytes=$(du -sb --apparent-size tree100k | cut -f1)
dirs=$(find tree100k -type d | wc -l)
# du counts the folders' own sizes too.
folder_bytes=$(find tree100k -type d -printf '%s\n' | awk '{s+=$1} END {print s}')
[ "$ours_bytes" = $((du_bytes - folder_bytes)) ] || { echo "scan totals differ"; exit 1; }

rm -rf conv_ours conv_im && mkdir -p conv_im
hyperfine --runs "$runs" --export-json batch_convert.json \
  --prepare "sh -c 'rm -f batch500/*.jpg conv_im/*'" \
  -n tavis_batch "$tool convert batch500 jpg 75" \
  -n mogrify "mogrify -path conv_im -format jpg -quality 75 batch500/*.bmp" >/dev/null 2>&1
echo "== batch convert of 500 photos (640x480 BMP) to JPEG"
report batch_convert.json tavis_batch
rm -f batch500/*.jpg

hyperfine -N --warmup 1 --runs "$runs" --export-json batch_scan.json \
  -n tavis_batch "$tool scan tree100k" -n du "du -s tree100k" >/dev/null 2>&1
echo "== folder-size scan of 100,000 files in $dirs folders"
report batch_scan.json tavis_batch
