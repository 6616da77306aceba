#!/usr/bin/env bash
# TIFF decode, whole process: our tavis_decode (release build) against netpbm's tifftopnm (on
# libtiff) on the same large files, each file in one hyperfine run, then the peak memory of
# each. The files are made here: a 4000x3000 picture (ImageMagick's plasma) stored as RGB with
# LZW and the horizontal predictor, its grey version with PackBits, and an 8000x6000 bilevel
# version (threshold, enlarged) as Group 4 fax and as PackBits. tavis_decode writes PPM (3 bytes
# a pixel) whatever the picture; tifftopnm writes PBM or PGM for bilevel and grey pictures.
# Usage: bench/tiff_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_decode 10 "$@"
cd "$dir"
[ -f big24.ppm ] || "$im" -size 4000x3000 -seed 1 plasma:fractal -blur 0x1 -depth 8 \
  -type TrueColor ppm:big24.ppm
[ -f rgb-lzw.tif ] || { pamtotiff big24.ppm >rgb.tif 2>/dev/null; tiffcp -c lzw:2 rgb.tif rgb-lzw.tif; }
[ -f grey-packbits.tif ] || { ppmtopgm big24.ppm | pamtotiff >grey.tif 2>/dev/null;
  tiffcp -c packbits grey.tif grey-packbits.tif; }
[ -f bw.pbm ] || ppmtopgm big24.ppm | pgmtopbm -threshold | pamenlarge 2 >bw.pbm
[ -f bw-g4.tif ] || pamtotiff -g4 bw.pbm >bw-g4.tif
[ -f bw-packbits.tif ] || pamtotiff -packbits bw.pbm >bw-packbits.tif

for f in rgb-lzw grey-packbits bw-g4 bw-packbits; do
  file=$dir/$f.tif
  # The same pixels first, or the timing means nothing.
  "$tool" -o "$f.ours.ppm" "$file"
  tifftopnm "$file" 2>/dev/null | pnmtopnm 2>/dev/null | ppmtoppm >"$f.ref.ppm"
  cmp -s "$f.ours.ppm" "$f.ref.ppm" || { echo "$f: outputs differ"; exit 1; }
  rm -f "$f.ours.ppm" "$f.ref.ppm"

  echo "== $f.tif ($("$tool" -i "$file" | sed -n 2p | cut -c2-), $(stat -c %s "$file") bytes)"
  hyperfine -N --warmup 2 --runs "$runs" --export-json "$dir/$f.json" \
    -n tavis_decode "$tool -o - $file" -n tifftopnm "tifftopnm $file" >/dev/null 2>&1
  report "$dir/$f.json" tavis_decode user
  peak "$tool -o - $file" "tifftopnm $file"
done
