#!/usr/bin/env bash
# Downloads a 100 MB document from nginx on 127.0.0.1 with the program's HTTP client (the
# Windows build under Wine) and with curl -o, and prints both times and their ratio.
#   bench/http_bench.sh [mingw64|mingw32]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=${1:-mingw64}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target http_bench >/dev/null
dir=$root/build/bench/http
mkdir -p "$dir/site"
[ -f "$dir/site/big.bin" ] || head -c 100M /dev/urandom >"$dir/site/big.bin"
state=$dir/state
online/tests/loopback-server.sh start nginx 0 "$state" "$dir/site" >/dev/null
trap 'online/tests/loopback-server.sh stop "$state" nginx' EXIT
url=http://127.0.0.1:$(cat "$state/nginx.port")/big.bin

start=$(date +%s.%N)
curl -s -o "$dir/curl.bin" "$url"
curl_s=$(python3 -c "import sys; print(f'{float(sys.argv[2]) - float(sys.argv[1]):.3f}')" "$start" "$(date +%s.%N)")

out=$(tests/wine-session tests/wine-exec "build/$preset/bench/http_bench.exe" "$url" "Z:$dir/ours.bin" \
  | tr -d '\r')
ours_s=$(echo "$out" | sed -n 's/.* in \([0-9.]*\) s$/\1/p')
cmp -s "$dir/curl.bin" "$dir/site/big.bin" && cmp -s "$dir/ours.bin" "$dir/site/big.bin" \
  || { echo "a download differs from the document" >&2; exit 1; }
echo "curl -o: ${curl_s} s; http_bench (THttpCli under Wine, $preset): ${ours_s} s"
python3 -c "import sys; print(f'ratio ours/curl: {float(sys.argv[1]) / float(sys.argv[2]):.2f}')" "$ours_s" "$curl_s"
