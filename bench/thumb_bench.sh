#!/usr/bin/env bash
# Making the thumbnails of a folder of photos, whole process: our tavis_thumbs (release build; the
# main window's scan, step by step: identify, decode, shrink, map onto the thumbnail palette, LZW
# code, store in a new database) against ImageMagick making the same thumbnails of the same files
# in one process (mogrify -thumbnail BOXxBOX, the box of a new database), once as it comes and
# once told the size it needs (-define jpeg:size, so that it too lets the JPEG library scale).
# Ours is timed twice: as shipped (JPEG decoded at the largest DCT scale that leaves at least
# twice the box on each side) and with --full (every JPEG decoded whole).
#
# The photos: 24 distinct pictures of 2 to 25 megapixels (alternately 4:3 and 3:2), each the test
# photo jpeg/video-001.jpeg enlarged by ImageMagick with a little Gaussian noise and stored by
# cjpeg at quality 90; the folder holds COUNT files (default 1000), hard links to these 24 in
# turn, so that every run reads the same bytes from the page cache without gigabytes of disk.
# Each command runs once (hyperfine --runs 1, after one warm-up of the smallest case), then once
# more under GNU time for its peak memory.
# Usage: bench/thumb_bench.sh [count]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_thumbs 1000 "$@"
count=$runs
box=91  # 640 div 7: the size code of a new database
thumb_photos "$count"
cd "$dir/thumbs"
folder=photos-$count
megapixels=$(python3 -c "
import subprocess
total = 0
for mp in range(2, 26):
    w, h = subprocess.check_output(['identify', '-format', '%w %h', f'base/photo-{mp}.jpg']).split()
    total += int(w) * int(h) * (($count // 24) + (1 if mp - 2 < $count % 24 else 0))
print(f'{total / 1e6:.0f}')")
echo "== $count photos, $megapixels megapixels in all, box $box"

rm -rf out && mkdir out
ours="$tool $dir/thumbs/ours.thm $dir/thumbs/$folder"
full="$tool --full $dir/thumbs/full.thm $dir/thumbs/$folder"
magick="mogrify -path out -format bmp -thumbnail ${box}x$box $folder/*.jpg"
hinted="mogrify -path out -format bmp -define jpeg:size=$((2 * box))x$((2 * box)) \
-thumbnail ${box}x$box $folder/*.jpg"
clean='rm -f ours.th? full.th? out/*'
# Every run starts from an empty database (and an empty output folder for ImageMagick).
hyperfine --runs 1 --prepare "$clean" --export-json thumbs.json -n tavis_thumbs "$ours" \
  -n tavis_thumbs-full "$full" -n mogrify "$magick" -n mogrify-size "$hinted" >/dev/null 2>&1
report thumbs.json tavis_thumbs user 17
"$tool" ours.thm "$folder" | sed 's/^/  tavis_thumbs: /'
echo "  mogrify wrote $(ls out | wc -l) thumbnails"
for cmd in "$ours" "$full" "$magick" "$hinted"; do
  sh -c "$clean"
  /usr/bin/time -f "  peak %M KB  $(echo "$cmd" | sed "s|$root/build/release/tools/||" | cut -c1-60)" \
    sh -c "exec $cmd" 2>&1 >/dev/null | grep peak
done
sh -c "$clean"
