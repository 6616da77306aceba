#!/usr/bin/env bash
# Every reader against the fastest independent decoder of its format, in one run: wall time
# (hyperfine, the two commands interleaved in one run), instructions (valgrind's callgrind, whole
# process) and peak memory (GNU time), as ratios ours / theirs. Ours decodes into its picture
# (tools/tavis_decode FILE: identify, decode, nothing written); the peer decodes and writes its
# output to /dev/null. The picture is a 2400x1648 photo-like picture: the test photo enlarged with
# a little Gaussian noise, stored in each format by an independent tool.
# Usage: bench/readers_bench.sh [runs] [format...]   (formats: jpeg gif png tiff-lzw
#        tiff-packbits pcx24 bmp8 pgm ppm)
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_decode 20 "$@"
[ $# -gt 0 ] && shift
cd "$dir"
mkdir -p readers
cd readers
if [ ! -f photo.ppm ]; then
  "$im" "$testdata/jpeg/video-001.jpeg" -resize 2400x1648! -seed 1 -attenuate 0.3 \
    +noise Gaussian -depth 8 ppm:photo.ppm
fi
[ -f photo.pgm ] || ppmtopgm photo.ppm >photo.pgm
[ -f photo.jpg ] || cjpeg -quality 90 -outfile photo.jpg photo.ppm
[ -f photo256.ppm ] || pnmquant 256 photo.ppm >photo256.ppm 2>/dev/null
[ -f photo.gif ] || pamtogif photo256.ppm >photo.gif 2>/dev/null
[ -f photo.png ] || pnmtopng photo.ppm >photo.png 2>/dev/null
[ -f photo.tif ] || pamtotiff photo.ppm >photo.tif 2>/dev/null
[ -f photo-lzw.tif ] || tiffcp -c lzw photo.tif photo-lzw.tif
[ -f photo-grey.tif ] || pamtotiff photo.pgm >photo-grey.tif 2>/dev/null
[ -f photo-packbits.tif ] || tiffcp -c packbits photo-grey.tif photo-packbits.tif
# A PCX plane line holds at most 2048 bytes for our reader: its 24-bit file is 2048 wide.
[ -f photo24.pcx ] || pamcut -width 2048 photo.ppm | ppmtopcx -24bit >photo24.pcx 2>/dev/null
[ -f photo8.bmp ] || ppmtobmp -bpp 8 photo256.ppm >photo8.bmp 2>/dev/null

# name, file, width, bytes per pixel of our picture, the peer's command (output to /dev/null)
cases=(
  "jpeg|photo.jpg|2400|3|djpeg -outfile /dev/null photo.jpg"
  "gif|photo.gif|2400|1|giftopnm photo.gif"
  "png|photo.png|2400|3|pngtopam photo.png"
  "tiff-lzw|photo-lzw.tif|2400|3|tifftopnm photo-lzw.tif"
  "tiff-packbits|photo-packbits.tif|2400|1|tifftopnm photo-packbits.tif"
  "pcx24|photo24.pcx|2048|3|pcxtoppm photo24.pcx"
  "bmp8|photo8.bmp|2400|1|bmptopnm photo8.bmp"
  "pgm|photo.pgm|2400|1|pamtopnm photo.pgm"
  "ppm|photo.ppm|2400|3|pamtopnm photo.ppm"
)

# Instructions of a whole process (callgrind's total), its output thrown away.
instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

printf '%-14s %9s %9s %6s %13s %13s %6s %9s %9s %9s\n' format ours_ms peer_ms wall \
  ours_instr peer_instr instr ours_KB peer_KB picture_KB
for c in "${cases[@]}"; do
  IFS='|' read -r name file width depth peer <<<"$c"
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  # Our decode must be the peer's picture, or the timing means nothing.
  "$tool" -o ours.ppm "$file" || { echo "$name: not decoded"; exit 1; }
  ${peer/-outfile \/dev\/null/} >theirs.pnm 2>/dev/null
  pnmtopnm <theirs.pnm 2>/dev/null | ppmtoppm >theirs.ppm 2>/dev/null
  cmp -s ours.ppm theirs.ppm || { echo "$name: outputs differ"; exit 1; }
  rm -f ours.ppm theirs.pnm theirs.ppm

  hyperfine -N --warmup 3 --runs "$runs" --export-json "$name.json" \
    -n ours "$tool $file" -n peer "$peer" >/dev/null 2>&1
  read -r ours_ms peer_ms < <(python3 -c "
import json; r = {x['command']: x['mean'] * 1000 for x in json.load(open('$name.json'))['results']}
print(f\"{r['ours']:.1f} {r['peer']:.1f}\")")
  ours_i=$(instructions "$tool" "$file")
  peer_i=$(instructions $peer)
  ours_kb=$(peak_kb "$tool" "$file")
  peer_kb=$(peak_kb $peer)
  printf '%-14s %9s %9s %6.2f %13s %13s %6.2f %9s %9s %9s\n' "$name" "$ours_ms" "$peer_ms" \
    "$(python3 -c "print($ours_ms / $peer_ms)")" "$ours_i" "$peer_i" \
    "$(python3 -c "print($ours_i / $peer_i)")" "$ours_kb" "$peer_kb" \
    $(((width * depth + 3) / 4 * 4 * 1648 / 1024))
done
