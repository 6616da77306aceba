#!/bin/sh
# Starts and stops the servers that the on-line tests talk to, each bound to 127.0.0.1 only.
#   loopback-server.sh start KIND PORT STATE [ROOT] [USER PASSWORD]   (PORT 0: a free one)
#   loopback-server.sh stop STATE KIND
# KIND: http (Python's http.server), scripted (scripted_http.py, the hostile cases), nginx,
# microsocks (SOCKS 5) or dante (SOCKS 4 and 5). STATE is a folder of the test's own: the pid,
# the log and, once the port answers, KIND.ready (or KIND.failed) go there. Every server runs
# in a session of its own under a time limit, so a test that dies cannot leave it behind.
set -u
here=$(cd "$(dirname "$0")" && pwd)
cmd=$1
if [ "$cmd" = stop ]; then
  state=$2 kind=$3
  # KIND.stopped, written last, tells a caller that cannot wait for this script that the
  # server is gone and the folder is no longer touched.
  if [ ! -f "$state/$kind.pid" ]; then : > "$state/$kind.stopped"; exit 0; fi
  pid=$(cat "$state/$kind.pid")
  kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  kill -KILL -- "-$pid" 2>/dev/null || true
  rm -f "$state/$kind.pid" "$state/$kind.ready" "$state/$kind.port"
  : > "$state/$kind.stopped"
  exit 0
fi

kind=$2 port=$3 state=$4 root=${5:-$4} user=${6:-} password=${7:-}
mkdir -p "$state"
rm -f "$state/$kind.ready" "$state/$kind.failed"
# Port 0: a free one, written to KIND.port.
if [ "$port" = 0 ]; then
  port=$(/usr/bin/python3 -c "import socket; s=socket.socket(); s.bind(('127.0.0.1', 0)); print(s.getsockname()[1])")
fi
echo "$port" > "$state/$kind.port"
limit=900
case $kind in
  http) set -- /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root" ;;
  scripted) set -- /usr/bin/python3 "$here/scripted_http.py" "$port" "$root" "$state/scripted.requests" ;;
  nginx)
    mkdir -p "$state/nginx-tmp"
    # Workers keep the starting user: in the user namespace of the 32-bit Wine runs no other
    # user exists to switch to.
    cat > "$state/nginx.conf" <<CONF
user root root;
worker_processes 1;
daemon off;
pid $state/nginx-master.pid;
error_log $state/nginx-error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $state/nginx-tmp/body;
  proxy_temp_path $state/nginx-tmp/proxy;
  sendfile on;
  types { text/html htm html; application/octet-stream bin; }
  server {
    listen 127.0.0.1:$port;
    root $root;
    location = /moved.htm { return 302 /doc.htm; }
  }
}
CONF
    set -- /usr/sbin/nginx -e "$state/nginx-error.log" -p "$state" -c "$state/nginx.conf" ;;
  microsocks)
    if [ -n "$user" ]; then set -- /usr/bin/microsocks -i 127.0.0.1 -p "$port" -u "$user" -P "$password"
    else set -- /usr/bin/microsocks -i 127.0.0.1 -p "$port"; fi ;;
  dante)
    cat > "$state/danted.conf" <<CONF
logoutput: $state/danted-log
internal: 127.0.0.1 port = $port
external: 127.0.0.1
clientmethod: none
socksmethod: none
user.privileged: root
user.unprivileged: root
client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }
socks pass { from: 127.0.0.0/8 to: 0.0.0.0/0 command: connect }
CONF
    set -- /usr/sbin/danted -f "$state/danted.conf" -p "$state/danted.pid" ;;
  *) echo "unknown server $kind" >&2; exit 2 ;;
esac

setsid timeout "$limit" "$@" >"$state/$kind.log" 2>&1 </dev/null &
echo $! > "$state/$kind.pid"
i=0
while [ $i -lt 100 ]; do
  if /usr/bin/python3 -c "import socket,sys; socket.create_connection(('127.0.0.1', int(sys.argv[1])), 0.5).close()" "$port" 2>/dev/null; then
    touch "$state/$kind.ready"
    exit 0
  fi
  sleep 0.1
  i=$((i + 1))
done
touch "$state/$kind.failed"
cat "$state/$kind.log" >&2
exit 1
