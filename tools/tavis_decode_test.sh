#!/usr/bin/env bash
# End-to-end check of the decode tool: identify, decode to PPM and PAM, write through the BMP
# writer, and compare with ImageMagick and netpbm on the same files.
# Usage: tavis_decode_test.sh TOOL TESTDATA
set -euo pipefail
tool=$1 data=$2/bmp
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
im=$(command -v convert-im6.q16 || command -v convert)
fail() { echo "FAIL: $*"; exit 1; }

"$tool" -i "$data/pal8.bmp" | grep -qx 'b127x64x252 Windows Bitmap ' || fail "identify line"
rc=0
out=$("$tool" -i "$data/q_pal8os2v2.bmp") || rc=$?
[ "$rc" = 1 ] && [[ $out == *"Not a graphic"* ]] || fail "not a picture ($rc)"

for f in pal1 pal4rle pal8rle rgb24 rgb32bf; do
  "$tool" -o "$work/ours.ppm" "$data/$f.bmp" || fail "$f decode"
  "$im" "$data/$f.bmp" -depth 8 "ppm:$work/im.ppm"
  cmp -s "$work/ours.ppm" "$work/im.ppm" || fail "$f differs from ImageMagick"
done

"$tool" -o "$work/ours.pam" "$data/pal8.bmp"
head -c 2 "$work/ours.pam" | grep -q P7 || fail "PAM header"

# Damaged data: exit code 2, the error line printed, the partial picture still written.
rc=0
"$tool" --info -o "$work/bad.ppm" "$data/b_badrle.bmp" >"$work/info.txt" || rc=$?
[ "$rc" = 2 ] || fail "damaged file exit code $rc"
grep -q '^kRun Length Error at ' "$work/info.txt" || fail "error line"
[ -s "$work/bad.ppm" ] || fail "partial picture not written"

for kind in bmp:1 bmp:4 bmp:4:rle bmp:8 bmp:8:rle bmp:24 bmp:8:os2; do
  src=$data/pal8.bmp
  case $kind in bmp:1) src=$data/pal1.bmp ;; bmp:4*) src=$data/pal4.bmp ;; bmp:24) src=$data/rgb24.bmp ;; esac
  "$tool" -w "$kind" -o "$work/w.bmp" "$src" || fail "$kind write"
  bmptopnm "$work/w.bmp" 2>/dev/null | "$im" pnm:- -depth 8 "ppm:$work/back.ppm"
  "$im" "$src" -depth 8 "ppm:$work/im.ppm"
  cmp -s "$work/back.ppm" "$work/im.ppm" || fail "$kind read back by bmptopnm differs"
done
echo "tavis_decode: all checks passed"
