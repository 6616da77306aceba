#!/usr/bin/env bash
# IFF ILBM, PBMPLUS, GEM IMG and MacPaint decode, whole process: our tavis_decode (release build)
# against netpbm's reader of each format and, where it reads the format, ImageMagick's convert or
# ffmpeg, on the same files; each file in one hyperfine run, then the peak memory of each.
# The files are made here by netpbm from a 2000x1500 picture made by ImageMagick.
# Usage: bench/planar_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_decode 20 "$@"
[ -f "$dir/planar.ppm" ] || "$im" -size 2000x1500 -seed 1 plasma:fractal -blur 0x1 -depth 8 \
  "ppm:$dir/planar.ppm"
[ -f "$dir/planar.pgm" ] || ppmtopgm "$dir/planar.ppm" >"$dir/planar.pgm"
[ -f "$dir/planar8.lbm" ] || pnmquant 256 "$dir/planar.ppm" 2>/dev/null \
  | ppmtoilbm -maxplanes 8 >"$dir/planar8.lbm" 2>/dev/null
[ -f "$dir/planar24.lbm" ] || ppmtoilbm -24force "$dir/planar.ppm" >"$dir/planar24.lbm" 2>/dev/null
[ -f "$dir/planar.img" ] || pamditherbw "$dir/planar.pgm" | pamtopnm | pbmtogem >"$dir/planar.img" 2>/dev/null
[ -f "$dir/planar.mac" ] || pamditherbw "$dir/planar.pgm" | pamtopnm | pamcut -width 576 -height 720 \
  | pbmtomacp >"$dir/planar.mac"
ff="ffmpeg -nostdin -v error"
ffppm="-f image2pipe -vcodec ppm -pix_fmt rgb24 -"

# file, netpbm command, other command (name:command)
bench() {
  local f=$1 netpbm=$2 other=$3
  local file=$dir/$f name=${other%%:*} cmd=${other#*:}
  # The same pixels first, or the timing means nothing.
  "$tool" -o - "$file" | ppmtoppm >"$dir/ours.ppm"
  $netpbm "$file" 2>/dev/null | ppmtoppm >"$dir/theirs.ppm"
  cmp -s "$dir/ours.ppm" "$dir/theirs.ppm" || { echo "$f: outputs differ"; exit 1; }
  rm -f "$dir/ours.ppm" "$dir/theirs.ppm"
  echo "== $f ($("$tool" -i "$file" | sed -n 2p | cut -c2-))"
  hyperfine -N --warmup 3 --runs "$runs" --export-json "$dir/$f.json" \
    -n tavis_decode "$tool -o - $file" -n "${netpbm%% *}" "$netpbm $file" \
    -n "$name" "${cmd//FILE/$file}" >/dev/null 2>&1
  report "$dir/$f.json" tavis_decode
  peak "$tool -o - $file" "$netpbm $file" "${cmd//FILE/$file}"
}

bench planar8.lbm ilbmtoppm "ffmpeg:$ff -i FILE $ffppm"
bench planar24.lbm ilbmtoppm "ffmpeg:$ff -i FILE $ffppm"
bench planar.ppm pamtopnm "convert:$im FILE ppm:-"
bench planar.pgm pamtopnm "convert:$im FILE ppm:-"
bench planar.img gemtopnm "ffmpeg:$ff -f gem_pipe -i FILE $ffppm"
bench planar.mac macptopbm "convert:$im FILE ppm:-"
