#!/usr/bin/env bash
# Zip listing and extraction, whole process: our tavis_unzip (release build) against Info-ZIP
# unzip on a deflated archive of 5,000 files and about 200 MB, made by Info-ZIP zip from files
# of mixed kinds (text, half-compressible and incompressible bytes). Checks that both extract
# the same files first, then times each in one hyperfine run and reports the peak memory.
# Usage: bench/zip_bench.sh [runs]
set -euo pipefail
. "$(dirname "$0")/common.sh" tavis_unzip 5 "$@"
archive=$dir/bench5000.zip
if [ ! -f "$archive" ]; then
  rm -rf "$dir/zipsrc" && mkdir -p "$dir/zipsrc"
  python3 - "$dir/zipsrc" <<'PY'
import os, random, sys
random.seed(5)
root = sys.argv[1]
words = [b"alpha", b"beta", b"gamma", b"delta", b"picture", b"viewer", b"\n", b" "]
for i in range(5000):
    folder = os.path.join(root, "d%02d" % (i % 50))
    os.makedirs(folder, exist_ok=True)
    size = 40000 + (i * 7919) % 40000
    kind = i % 3
    if kind == 0:
        data = b"".join(random.choice(words) for _ in range(size // 5))[:size]
    elif kind == 1:
        data = os.urandom(size).translate(bytes(b & 0x0F for b in range(256)))
    else:
        data = os.urandom(size)
    open(os.path.join(folder, "f%05d.dat" % i), "wb").write(data)
PY
  (cd "$dir/zipsrc" && zip -q -r -6 "$archive" .)
fi
echo "== $(unzip -Z1 "$archive" | grep -vc '/$') files, $(stat -c %s "$archive") bytes"

rm -rf "$dir/ours" "$dir/infozip"
"$tool" -d "$dir/ours" "$archive" >/dev/null
unzip -qq -o "$archive" -d "$dir/infozip"
diff -r "$dir/ours" "$dir/infozip" >/dev/null || { echo "extracted files differ"; exit 1; }

hyperfine -N --warmup 1 --runs "$runs" --export-json "$dir/zip_list.json" \
  -n tavis_unzip "$tool -l $archive" -n unzip "unzip -Z1 $archive" >/dev/null 2>&1
echo "== list"
report "$dir/zip_list.json" tavis_unzip
hyperfine -N --runs "$runs" --export-json "$dir/zip_extract.json" \
  -n tavis_unzip "$tool -d $dir/ours $archive" -n unzip "unzip -qq -o $archive -d $dir/infozip" \
  >/dev/null 2>&1
echo "== extract"
report "$dir/zip_extract.json" tavis_unzip
peak "$tool -d $dir/ours $archive" "unzip -qq -o $archive -d $dir/infozip"
