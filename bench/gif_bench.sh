#!/usr/bin/env bash
# GIF, whole process: our tavis_decode (release build) against netpbm's giftopnm and
# ImageMagick's convert decoding the same files, then our GIF writer against netpbm's pamtogif
# (and convert) writing the same picture; each case in one hyperfine run, then the peak memory of
# each command. The files are made here: a 4000x3000 picture of 256 colours (ImageMagick's plasma,
# reduced without dithering), and a 40-frame 800x600 animation (the plasma rolled a little per
# frame, each frame with its own 256-colour table, optimised by ImageMagick into partial frames
# with transparency). The small test animation anim_dog.gif (4 frames, 500x362) is timed too.
# Usage: bench/gif_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_decode 20 "$@"
if [ ! -f "$dir/big.gif" ]; then
  "$im" -size 4000x3000 -seed 1 plasma:fractal -blur 0x1 +dither -colors 256 "$dir/big.gif"
  "$im" "$dir/big.gif" -type Palette "bmp3:$dir/big8.bmp"
  "$im" "$dir/big.gif" -depth 8 "ppm:$dir/big8.ppm"
fi
if [ ! -f "$dir/anim.gif" ]; then
  "$im" -size 1000x700 -seed 2 plasma:fractal -blur 0x1 "$dir/anim-base.png"
  frames=()
  for i in $(seq 0 39); do
    "$im" "$dir/anim-base.png" -crop "800x600+$((i * 5))+$((i * 2))" +repage +dither -colors 256 \
      "$dir/anim-$i.gif"
    frames+=("$dir/anim-$i.gif")
  done
  "$im" -delay 4 "${frames[@]}" -layers Optimize "$dir/anim.gif"
  rm -f "${frames[@]}" "$dir/anim-base.png"
fi
dog=$testdata/gif/anim_dog.gif
printf 'GIF89a\1\0\1\0\200\0\0\0\0\0\377\377\377,\0\0\0\0\1\0\1\0\0\2\2D\1\0;' >"$dir/tiny.gif"

# Decoding: the first (only) picture of big.gif, every frame of the animations.
"$tool" -o "$dir/big.ours.ppm" "$dir/big.gif"
giftopnm "$dir/big.gif" >"$dir/big.ref.ppm"
cmp -s "$dir/big.ours.ppm" "$dir/big.ref.ppm" || { echo "big.gif: outputs differ"; exit 1; }
rm -f "$dir/big.ours.ppm" "$dir/big.ref.ppm"
for f in "$dir/big.gif" "$dir/anim.gif" "$dog"; do
  name=$(basename "$f")
  all=$([ "$name" = big.gif ] && echo "" || echo "-a")
  echo "== decode $name ($("$tool" -i "$f" | sed -n 2p | cut -c2-), $(gifsicle --info "$f" | head -1 | sed 's/.* \([0-9]* images*\)$/\1/'))"
  hyperfine -N --warmup 3 --runs "$runs" --export-json "$dir/gif.json" \
    -n tavis_decode "$tool $all -o - $f" -n giftopnm "giftopnm -image=all $f" \
    -n convert "$im $f ppm:-" >/dev/null 2>&1
  report "$dir/gif.json" tavis_decode
  peak "$tool $all -o - $f" "giftopnm -image=all $f" "$im $f ppm:-"
  # Decoding alone (no output file): the picture against a 1x1 GIF's run.
  base=$(/usr/bin/time -f %M "$tool" "$dir/tiny.gif" 2>&1 >/dev/null)
  used=$(/usr/bin/time -f %M "$tool" $all "$f" 2>&1 >/dev/null)
  size=$("$tool" -i "$f" | sed -n 2p | cut -c2- | cut -dx -f1,2 | tr x ' ' | awk '{print int(($1 + 3) / 4) * 4 * $2}')
  python3 -c "print(f'  decode only: peak {$used} KB, {$used - $base} KB over a 1x1 GIF ({$base} KB); picture {$size // 1024} KB; ratio {($used - $base) * 1024 / $size:.2f}')"
done

# Writing: the 256-colour picture, read from an 8-bit BMP by us and ImageMagick and from PPM
# by pamtogif (which has to find its colour table in the RGB pixels).
echo "== write big.gif's picture as GIF"
hyperfine -N --warmup 3 --runs "$runs" --export-json "$dir/gifw.json" \
  -n tavis_decode "$tool -w gif -o $dir/w.ours.gif $dir/big8.bmp" \
  -n pamtogif "pamtogif $dir/big8.ppm" \
  -n convert "$im $dir/big8.bmp $dir/w.convert.gif" >/dev/null 2>&1
report "$dir/gifw.json" tavis_decode
pamtogif "$dir/big8.ppm" >"$dir/w.pamtogif.gif" 2>/dev/null
for w in ours pamtogif convert; do echo "  size $w: $(stat -c %s "$dir/w.$w.gif") bytes"; done
giftopnm "$dir/w.ours.gif" | cmp -s - "$dir/big8.ppm" || { echo "written file differs"; exit 1; }
peak "$tool -w gif -o $dir/w.ours.gif $dir/big8.bmp" "pamtogif $dir/big8.ppm" \
  "$im $dir/big8.bmp $dir/w.convert.gif"
