#!/usr/bin/env bash
# Every reader against the fastest independent decoder of its format, in one run: wall time and
# CPU time (user + system; the two commands run in turn, medians), instructions (valgrind's
# callgrind, whole process) and peak memory (GNU time), as ratios ours / theirs. Ours decodes
# into its picture (tools/tavis_decode FILE: identify, decode, nothing written); the peer decodes
# and writes its output to /dev/null. The picture is a 2400x1648 photo-like picture: the test photo enlarged with
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

printf '%-14s %8s %8s %5s %7s %7s %5s %12s %12s %5s %8s %8s %8s\n' format ours_ms peer_ms \
  wall cpu_ms peer_cpu cpu ours_instr peer_instr instr ours_KB peer_KB pict_KB
for c in "${cases[@]}"; do
  IFS='|' read -r name file width depth peer <<<"$c"
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  # Our decode must be the peer's picture, or the timing means nothing.
  "$tool" -o ours.ppm "$file" || { echo "$name: not decoded"; exit 1; }
  ${peer/-outfile \/dev\/null/} >theirs.pnm 2>/dev/null
  pnmtopnm <theirs.pnm 2>/dev/null | ppmtoppm >theirs.ppm 2>/dev/null
  cmp -s ours.ppm theirs.ppm || { echo "$name: outputs differ"; exit 1; }
  rm -f ours.ppm theirs.pnm theirs.ppm

  # Interleaved, one of ours then one of the peer's, so that a change in the machine's load
  # falls on both alike; medians of wall time and of CPU time (user + system).
  read -r ours_ms peer_ms ours_cpu peer_cpu < <(python3 - "$runs" "$tool $file" "$peer" <<'EOF'
import os, statistics, subprocess, sys, time
runs, commands = int(sys.argv[1]), sys.argv[2:]
wall = [[] for _ in commands]
cpu = [[] for _ in commands]
for i in range(runs + 3):  # the first three warm the caches and are not counted
    for k, command in enumerate(commands):
        start = time.perf_counter()
        p = subprocess.Popen(command.split(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(p.pid, 0)
        if i >= 3:
            wall[k].append((time.perf_counter() - start) * 1000)
            cpu[k].append((usage.ru_utime + usage.ru_stime) * 1000)
print(*(f"{statistics.median(x):.1f}" for x in wall + cpu))
EOF
)
  ours_i=$(instructions "$tool" "$file")
  peer_i=$(instructions $peer)
  ours_kb=$(peak_kb "$tool" "$file")
  peer_kb=$(peak_kb $peer)
  printf '%-14s %8s %8s %5.2f %7s %7s %5.2f %12s %12s %5.2f %8s %8s %8s\n' "$name" "$ours_ms" \
    "$peer_ms" "$(python3 -c "print($ours_ms / $peer_ms)")" "$ours_cpu" "$peer_cpu" \
    "$(python3 -c "print($ours_cpu / max($peer_cpu, 0.1))")" "$ours_i" "$peer_i" \
    "$(python3 -c "print($ours_i / $peer_i)")" "$ours_kb" "$peer_kb" \
    $(((width * depth + 3) / 4 * 4 * 1648 / 1024))
done
