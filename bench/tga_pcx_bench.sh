#!/usr/bin/env bash
# Targa and PCX decode, whole process: our tavis_decode (release build) against netpbm's
# tgatoppm and pcxtoppm on the same large files, each file in one hyperfine run, then the peak
# memory of each. The files are made here from one ImageMagick plasma picture: Targa at 4000x3000
# (24 bits uncompressed and run-length, 8-bit mapped run-length) by ppmtotga; PCX by ppmtopcx at
# 2048x6000 for 8 and 24 bits (PCX lines are at most 2048 bytes per plane here) and 4000x3000 for
# 16 colours in 4 planes.
# Usage: bench/tga_pcx_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_decode 20 "$@"
[ -f "$dir/plasma.ppm" ] || "$im" -size 4000x3000 -seed 1 plasma:fractal -blur 0x1 -depth 8 \
  "ppm:$dir/plasma.ppm"
[ -f "$dir/plasma256.ppm" ] || pnmquant 256 "$dir/plasma.ppm" >"$dir/plasma256.ppm" 2>/dev/null
[ -f "$dir/plasma16.ppm" ] || pnmquant 16 "$dir/plasma.ppm" >"$dir/plasma16.ppm" 2>/dev/null
[ -f "$dir/tall.ppm" ] || "$im" -size 2048x6000 -seed 2 plasma:fractal -blur 0x1 -depth 8 \
  "ppm:$dir/tall.ppm"
[ -f "$dir/tall256.ppm" ] || pnmquant 256 "$dir/tall.ppm" >"$dir/tall256.ppm" 2>/dev/null
gen() { [ -f "$dir/$1" ] || "${@:2}" >"$dir/$1" 2>/dev/null; }
gen big24.tga ppmtotga -rgb -norle "$dir/plasma.ppm"
gen big24rle.tga ppmtotga -rgb "$dir/plasma.ppm"
gen big8rle.tga ppmtotga -cmap "$dir/plasma256.ppm"
gen big4planes.pcx ppmtopcx -planes 4 "$dir/plasma16.ppm"
gen tall8.pcx ppmtopcx -8bit "$dir/tall256.ppm"
gen tall24.pcx ppmtopcx -24bit "$dir/tall.ppm"

for f in big24.tga big24rle.tga big8rle.tga big4planes.pcx tall8.pcx tall24.pcx; do
  file=$dir/$f
  case $f in *.tga) ref=tgatoppm ;; *) ref=pcxtoppm ;; esac
  # The same pixels first, or the timing means nothing.
  "$tool" -o "$dir/$f.ours.ppm" "$file"
  $ref "$file" >"$dir/$f.ref.ppm" 2>/dev/null
  cmp -s "$dir/$f.ours.ppm" "$dir/$f.ref.ppm" || { echo "$f: outputs differ"; exit 1; }
  rm -f "$dir/$f.ours.ppm" "$dir/$f.ref.ppm"

  echo "== $f ($("$tool" -i "$file" | sed -n 2p | cut -c2-), $(stat -c %s "$file") bytes)"
  hyperfine -N --warmup 3 --runs "$runs" --export-json "$dir/$f.json" \
    -n tavis_decode "$tool -o - $file" -n $ref "$ref $file" >/dev/null 2>&1
  report "$dir/$f.json" tavis_decode
  peak "$tool -o - $file" "$ref $file"
done
