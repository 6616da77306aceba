# The start every benchmark script shares, sourced with the tool to build, the default number of
# runs and the script's own arguments:
#   . "$(dirname "$0")/common.sh" tavis_decode 20 "$@"
# It goes to the repository root, builds the tool in the release preset and sets root, runs (the
# first argument, or the default), im (ImageMagick's convert), testdata, tool and dir (build/bench).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
runs=${3:-$2}
im=$(command -v convert-im6.q16 || command -v convert)
testdata=${TAVIS_TESTDATA:-$root/../shared/testdata}

cmake --preset release >/dev/null
cmake --build --preset release --target "$1" >/dev/null
tool=$root/build/release/tools/$1
dir=$root/build/bench
mkdir -p "$dir"

# The test photo enlarged to 4000x3000 with a little Gaussian noise, so that it has a photo's
# spread of colours at that size: photo.ppm, and photo.bmp for the readers of BMP.
make_photo() {
  [ -f "$dir/photo.ppm" ] || "$im" "$testdata/jpeg/video-001.jpeg" -resize 4000x3000! -seed 1 \
    -attenuate 0.3 +noise Gaussian -depth 8 "ppm:$dir/photo.ppm"
  [ -f "$dir/photo.bmp" ] || "$im" "$dir/photo.ppm" "bmp3:$dir/photo.bmp"
}

# A hyperfine JSON file: each command's mean and the ratio of the command named ours to it.
# extra adds columns: user (user time) or cpu (median and user + system time, and their ratios).
# Usage: report JSON OURS [extra] [name width]
report() {
  python3 - "$1" "$2" "${3:-}" "${4:-13}" <<'EOF'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
extra, width = sys.argv[3], int(sys.argv[4])
ours = next(x for x in results if x["command"] == sys.argv[2])
cpu = lambda x: x["user"] + x["system"]
for x in results:
    name = x["command"]
    spread = f"{x['stddev']*1000:5.1f}" if x.get("stddev") is not None else "  -  "  # one run
    line = f"  {name:{width}s} {x['mean']*1000:7.1f} ms ± {spread}"
    if extra == "user":
        line += f"   user {x['user']*1000:6.1f} ms"
    elif extra == "cpu":
        line += f"  median {x['median']*1000:7.1f}  cpu {cpu(x)*1000:7.1f}"
    line += f"   ratio ours/{name}: {ours['mean']/x['mean']:.2f}"
    if extra == "cpu":
        line += f" (medians {ours['median']/x['median']:.2f}, cpu {cpu(ours)/cpu(x):.2f})"
    print(line)
EOF
}

# The peak memory of each command, its output thrown away.
peak() {
  for cmd in "$@"; do
    /usr/bin/time -f "  peak %M KB  ${cmd%% *}" $cmd 2>&1 >/dev/null | grep peak \
      | sed "s|$root/build/release/tools/||"
  done
}

# The thumbnail benchmarks' photos: 24 distinct pictures of 2 to 25 megapixels (alternately 4:3
# and 3:2), each the test photo enlarged by ImageMagick with a little Gaussian noise and stored
# by cjpeg at quality 90, in build/bench/thumbs/base; and the folder thumbs/photos-COUNT of COUNT
# hard links to them in turn, so that every run reads the same bytes from the page cache without
# gigabytes of disk. Usage: thumb_photos COUNT
thumb_photos() {
  local base=$dir/thumbs/base folder=$dir/thumbs/photos-$1 mp f rw rh w h i
  mkdir -p "$base"
  for mp in $(seq 2 25); do
    f=$base/photo-$mp.jpg
    [ -f "$f" ] && continue
    if [ $((mp % 2)) -eq 0 ]; then rw=4 rh=3; else rw=3 rh=2; fi
    # Width and height of about mp megapixels in the ratio rw:rh.
    read -r w h < <(python3 -c "import math; u = math.sqrt($mp * 1e6 / ($rw * $rh)); \
print(round(u * $rw), round(u * $rh))")
    "$im" "$testdata/jpeg/video-001.jpeg" -resize "${w}x${h}!" -seed "$mp" -attenuate 0.3 \
      +noise Gaussian -depth 8 ppm:- | cjpeg -quality 90 -outfile "$f.tmp"
    mv "$f.tmp" "$f"
  done
  if [ ! -d "$folder" ]; then
    rm -rf "$folder.tmp"
    mkdir "$folder.tmp"
    for i in $(seq 0 $(($1 - 1))); do
      ln "$base/photo-$((i % 24 + 2)).jpg" "$folder.tmp/$(printf 'photo%04d.jpg' "$i")"
    done
    mv "$folder.tmp" "$folder"
  fi
}
