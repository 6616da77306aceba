#!/usr/bin/env bash
# Exporting a web gallery of a folder of photos, whole process: our tavis_webgallery (release
# build; the "Build Web Page" dialog's build with its default settings: per photo identify,
# decode, shrink to 80 pixels, write a quality-40 JPEG thumbnail and a picture page, then the
# main page) against the thumbnail benchmark's tools on the same folder: our tavis_thumbs
# (thumbnails into a database) and ImageMagick making the same 80-pixel JPEG thumbnails told the
# size it needs (mogrify -define jpeg:size -thumbnail -quality 40).
#
# The photos are the thumbnail benchmark's: 24 distinct pictures of 2 to 25 megapixels, each the
# test photo enlarged by ImageMagick with a little Gaussian noise and stored by cjpeg at quality
# 90; the folder holds COUNT files (default 500), hard links to them in turn. Each command runs
# once (hyperfine --runs 1), every run on a folder without the files a run writes.
# Usage: bench/webgallery_bench.sh [count]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_webgallery 500 "$@"
count=$runs
cmake --build --preset release --target tavis_thumbs >/dev/null
thumbs=$root/build/release/tools/tavis_thumbs
# The thumbnail benchmark's photos, linked into a folder of their own: the export writes into it.
thumb_photos "$count"
cd "$dir/thumbs"
folder=web-$count
[ -d "$folder" ] || cp -al "photos-$count" "$folder"
echo "== web gallery of $count photos (2 to 25 megapixels)"

rm -rf out && mkdir out
clean="rm -f $folder/*.html $folder/'(thm)'* web.th? out/*"
ours="$tool $dir/thumbs/$folder"
db="$thumbs $dir/thumbs/web.thm $dir/thumbs/$folder"
hinted="mogrify -path out -format jpg -quality 40 -define jpeg:size=160x160 -thumbnail 80x80 \
$folder/*.jpg"
hyperfine --runs 1 --prepare "$clean" --export-json web.json -n tavis_webgallery "$ours" \
  -n tavis_thumbs "$db" -n mogrify-size "$hinted" >/dev/null 2>&1
report web.json tavis_webgallery user 17
python3 - web.json "$count" <<'EOF'
import json, sys
count = int(sys.argv[2])
for x in json.load(open(sys.argv[1]))["results"]:
    print(f"  {x['command']:17s} {x['mean'] / count * 1000:6.1f} ms a photo")
EOF
sh -c "$clean"
"$tool" "$folder" | sed 's/^/  tavis_webgallery: /'
echo "  $(ls "$folder" | grep -c '^(thm)') thumbnails, $(ls "$folder" | grep -c '\.html$') pages"
sh -c "$clean"
