#!/usr/bin/env bash
# JPEG decode and encode, whole process: our tavis_decode (release build) against libjpeg-turbo's
# own djpeg and cjpeg (the same library underneath), each comparison in one hyperfine run, then
# the peak memory of each decode.
#
# Files, made or fetched into build/bench/:
#  - photo.jpg: the test photo jpeg/video-001.jpeg enlarged to 4000x3000 by ImageMagick with a
#    little Gaussian noise (the PNG benchmark's photo), stored by cjpeg at quality 90, baseline;
#  - elephants.jpg: a real large photo, 5640x3172, progressive, quality 100 (the
#    Elephants_5640x3172.jpg wallpaper of Debian's mate-backgrounds package, fetched with
#    apt-get download), and elephants-baseline.jpg, the same data made baseline by jpegtran.
# The encoders read the same BMP (cjpeg reads BMP too), quality 90.
# Usage: bench/jpeg_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_decode 20 "$@"
make_photo
[ -f "$dir/photo.jpg" ] || cjpeg -quality 90 -outfile "$dir/photo.jpg" "$dir/photo.ppm"
if [ ! -f "$dir/elephants.jpg" ]; then
  deb=$(mktemp -d)
  chown _apt "$deb" 2>/dev/null || true
  (cd "$deb" && apt-get download -q mate-backgrounds >/dev/null)
  dpkg-deb --fsys-tarfile "$deb"/mate-backgrounds_*.deb \
    | tar -xO ./usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg >"$dir/elephants.jpg"
  rm -rf "$deb"
fi
[ -f "$dir/elephants-baseline.jpg" ] || jpegtran -optimize -copy none \
  -outfile "$dir/elephants-baseline.jpg" "$dir/elephants.jpg"
"$im" -size 1x1 xc:white -depth 8 "$dir/tiny.ppm" && cjpeg -outfile "$dir/tiny.jpg" "$dir/tiny.ppm"

for f in photo elephants elephants-baseline; do
  file=$dir/$f.jpg
  # The same pixels first, or the timing means nothing.
  cmp -s <("$tool" -o - "$file") <(djpeg "$file") || { echo "$f: pixels differ"; exit 1; }
  echo "== decode $f.jpg ($("$tool" -i "$file" | sed -n 2p | cut -c2-), $(stat -c %s "$file") bytes)"
  # djpeg -bmp holds the whole picture as we do (a BMP is written bottom-up); "decode-only" is
  # our reader without the conversion to PPM and its output.
  hyperfine -N --warmup 2 --runs "$runs" --export-json "$dir/$f.json" \
    -n tavis_decode "$tool -o /dev/null $file" -n decode-only "$tool $file" \
    -n djpeg "djpeg -outfile /dev/null $file" \
    -n djpeg-bmp "djpeg -bmp -outfile /dev/null $file" >/dev/null 2>&1
  report "$dir/$f.json" tavis_decode cpu
  peak "$tool -o /dev/null $file" "djpeg -outfile /dev/null $file"
done
/usr/bin/time -f "  baseline: peak %M KB for a 1x1 picture" "$tool" -o /dev/null "$dir/tiny.jpg" 2>&1

for mode in baseline progressive; do
  opt=() word=""
  [ $mode = progressive ] && opt=(-progressive) && word=":progressive"
  "$tool" -w "jpeg:90$word" -o "$dir/ours.jpg" "$dir/photo.bmp"
  cjpeg -quality 90 "${opt[@]}" -outfile "$dir/theirs.jpg" "$dir/photo.bmp"
  cmp -s "$dir/ours.jpg" "$dir/theirs.jpg" || { echo "encode $mode: files differ"; exit 1; }
  echo "== encode photo.bmp, quality 90, $mode (the files are byte for byte the same)"
  hyperfine -N --warmup 1 --runs "$runs" --export-json "$dir/encode-$mode.json" \
    -n tavis_decode "$tool -w jpeg:90$word -o $dir/ours.jpg $dir/photo.bmp" \
    -n cjpeg "cjpeg -quality 90 ${opt[*]} -outfile $dir/theirs.jpg $dir/photo.bmp" \
    >/dev/null 2>&1
  report "$dir/encode-$mode.json" tavis_decode cpu
done
