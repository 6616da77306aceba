#!/usr/bin/env bash
# Usage: tests/with-sound-server.sh [--expect-sound] COMMAND...
# Runs COMMAND with a private PulseAudio server (no system service, its socket in a temporary
# folder) whose only output is a null sink, and records that sink's monitor meanwhile. COMMAND
# sees PULSE_SERVER (Wine's sound driver reaches the server through it) and TAVIS_AUDIO=1, which
# tells the media tests that a play must really come out. The server and the recorder are
# stopped however COMMAND ends. With --expect-sound the run fails when nothing but silence
# reached the sink. Without pulseaudio the command runs as it is (TAVIS_AUDIO unset).
set -u
expect=0
[ "${1:-}" = --expect-sound ] && { expect=1; shift; }
if ! command -v pulseaudio >/dev/null 2>&1 || ! command -v parec >/dev/null 2>&1; then
  echo "with-sound-server: no pulseaudio here; running without sound" >&2
  exec "$@"
fi
dir=$(mktemp -d)
pa= rec=
cleanup() {
  [ -n "$rec" ] && kill "$rec" 2>/dev/null
  [ -n "$pa" ] && kill "$pa" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
PULSE_RUNTIME_PATH=$dir HOME=$dir pulseaudio --daemonize=no --exit-idle-time=-1 -n \
  --use-pid-file=no --disable-shm=yes \
  --load="module-null-sink sink_name=tavisnull" \
  --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
  >"$dir/server.log" 2>&1 &
pa=$!
export PULSE_SERVER=unix:$dir/native
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
if ! pactl info >/dev/null 2>&1; then
  echo "with-sound-server: the sound server did not start:" >&2
  tail -n 5 "$dir/server.log" >&2
  [ "$expect" = 1 ] && exit 1
  unset PULSE_SERVER
  "$@"
  exit $?
fi
parec -d tavisnull.monitor --format=s16le --rate=8000 --channels=1 >"$dir/sink.raw" &
rec=$!
TAVIS_AUDIO=1 "$@"
rc=$?
kill "$rec" 2>/dev/null
wait "$rec" 2>/dev/null
rec=
# The loudest sample that reached the sink.
peak=$(od -An -v -td2 -w2 "$dir/sink.raw" | awk '{v = $1 < 0 ? -$1 : $1; if (v > m) m = v} END {print m + 0}')
echo "with-sound-server: loudest sample at the null sink: $peak of 32767"
if [ "$expect" = 1 ] && [ "$rc" = 0 ] && [ "$peak" -lt 1000 ]; then
  echo "with-sound-server: no sound came out" >&2
  rc=1
fi
exit $rc
