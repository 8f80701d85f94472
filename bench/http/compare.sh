#!/usr/bin/env bash
# GETs of one element: the framework's server against nginx serving the same bytes, both on
# loopback, both pinned to the same two cores, wrk on all the others (on two, wrk itself was the
# limit at 16 and 64 connections, for either server), at 1, 16 and 64 connections.
# Prints requests/s, p50/p99 latency and CPU time per request for each with the ratios, and the
# server's thread count and RSS before the load, right after it and once it has been idle, and
# the wake-ups of both servers over a quiet period without connections.
#
#   bench/http/compare.sh            (after a build in build/; BUILD_DIR names another)
#   DURATION=10 CONNECTIONS="1 16 64" SERVER_CPUS=0,1 CLIENT_CPUS=2-7 (on 8 cores) IDLE_WAIT=20 QUIET_SECONDS=10 SERVE_BIN=...
#
# nginx and wrk are needed by this script alone, so they are installed here (from Debian,
# when missing) rather than with the build's packages.
set -euo pipefail
shopt -s inherit_errexit
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${BUILD_DIR:-$root/build}"
duration="${DURATION:-10}"
connections="${CONNECTIONS:-1 16 64}"
server_cpus="${SERVER_CPUS:-0,1}"
client_cpus="${CLIENT_CPUS:-2-$(($(nproc) - 1))}"  # every core the servers leave free
idle_wait="${IDLE_WAIT:-20}"

missing=()
command -v wrk >/dev/null || missing+=(wrk)
command -v nginx >/dev/null || [[ -x /usr/sbin/nginx ]] || missing+=(nginx)
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
nginx_bin="$(command -v nginx || echo /usr/sbin/nginx)"

# SERVE_BIN runs another build of the server program (say, one kept from before a change).
if [[ -n "${SERVE_BIN:-}" ]]; then
  serve="$SERVE_BIN"
else
  cmake --build "$build" --target rubo_http_serve >/dev/null
  serve="$build/bench/http/rubo_http_serve"
fi

work="$(mktemp -d)"
chmod 755 "$work"  # nginx's workers run as another user
ours_pid=""
nginx_pid=""
cleanup() {
  [[ -n "$ours_pid" ]] && kill "$ours_pid" 2>/dev/null && wait "$ours_pid" 2>/dev/null
  [[ -n "$nginx_pid" ]] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

free_port() {
  python3 -c 'import socket; s=socket.socket(socket.AF_INET6); s.bind(("::1",0)); print(s.getsockname()[1])'
}
threads_of() { awk '/^Threads:/ {print $2}' "/proc/$1/status"; }
rss_kib_of() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
# CPU ticks (user + system) of the given processes.
ticks_of() {
  local total=0 pid
  for pid in "$@"; do
    total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
  done
  echo "$total"
}

# Our server.
echo '{"address":"::1","port":0}' >"$work/rubo.json"
taskset -c "$server_cpus" "$serve" "$work/rubo.json" >"$work/rubo.out" &
ours_pid=$!
for _ in $(seq 100); do
  [[ $(wc -l <"$work/rubo.out") -ge 2 ]] && break
  sleep 0.1
done
ours_port="$(sed -n 1p "$work/rubo.out")"
ours_path="$(sed -n 2p "$work/rubo.out")"
ours_url="http://[::1]:$ours_port$ours_path"
mkdir -p "$work/www"
curl -sf "$ours_url" -o "$work/www/element.json"
body_bytes="$(stat -c %s "$work/www/element.json")"

# nginx with its own configuration, the same number of workers as our I/O threads.
nginx_port="$(free_port)"
mkdir -p "$work/nginx"
cat >"$work/nginx/nginx.conf" <<EOF
worker_processes 2;
daemon off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log warn;
events { worker_connections 1024; }
http {
  access_log off;
  keepalive_requests 100000000;
  open_file_cache max=16 inactive=3600s;  # the file stays open: no open/stat per request
  open_file_cache_valid 3600s;
  keepalive_timeout 60s;
  client_body_temp_path $work/nginx/body;
  proxy_temp_path $work/nginx/proxy;
  fastcgi_temp_path $work/nginx/fastcgi;
  uwsgi_temp_path $work/nginx/uwsgi;
  scgi_temp_path $work/nginx/scgi;
  server {
    listen [::1]:$nginx_port;
    root $work/www;
    location = /element { default_type application/json; try_files /element.json =404; }
  }
}
EOF
taskset -c "$server_cpus" "$nginx_bin" -p "$work/nginx" -c "$work/nginx/nginx.conf" -e "$work/nginx/error.log" &
nginx_pid=$!
nginx_url="http://[::1]:$nginx_port/element"
for _ in $(seq 100); do
  curl -sf "$nginx_url" -o "$work/nginx.body" 2>/dev/null && break
  sleep 0.1
done
cmp -s "$work/nginx.body" "$work/www/element.json" || {
  echo "nginx does not serve the same bytes" >&2
  exit 1
}
mapfile -t nginx_workers < <(pgrep -P "$nginx_pid")

threads_before="$(threads_of "$ours_pid")"
rss_before="$(rss_kib_of "$ours_pid")"

# wrk's threads, one per client CPU.
client_cpu_count="$(taskset -c "$client_cpus" nproc)"
# Runs wrk; prints "requests/s p50_us p99_us" and leaves wrk's CPU seconds in wrk.cpu.
run_wrk() {
  local url=$1 conns=$2 seconds=$3 threads=$client_cpu_count
  ((conns < threads)) && threads=$conns
  local TIMEFORMAT='%3U %3S'
  { time taskset -c "$client_cpus" wrk -t"$threads" -c"$conns" -d"${seconds}s" --latency "$url" >"$work/wrk.out"; } \
    2>"$work/wrk.cpu"
  awk '
    function us(v) {
      if (v ~ /us$/) return v + 0;
      if (v ~ /ms$/) return (v + 0) * 1000;
      if (v ~ /s$/) return (v + 0) * 1000000;
      return v + 0;
    }
    /Requests\/sec:/ {rps = $2}
    $1 == "50%" {p50 = us($2)}
    $1 == "99%" {p99 = us($2)}
    /Non-2xx|Socket errors/ {bad = bad $0 " "}
    END {printf "%.0f %.1f %.1f\n", rps, p50, p99; if (bad != "") print bad > "/dev/stderr"}
  ' "$work/wrk.out"
}

# Runs wrk and measures the CPU the server used; prints "requests/s p50 p99 cpu_us_per_request
# wrk_busy_percent" (wrk's CPU time over its CPUs' time: near 100, the client is the limit).
measure() {
  local url=$1 conns=$2
  shift 2
  local before after result requests
  before="$(ticks_of "$@")"
  result="$(run_wrk "$url" "$conns" "$duration")"
  after="$(ticks_of "$@")"
  requests="$(awk '/requests in/ {print $1}' "$work/wrk.out")"
  awk -v r="$result" -v t=$((after - before)) -v n="$requests" -v hz="$(getconf CLK_TCK)" \
    -v c="$(tail -n1 "$work/wrk.cpu" | awk '{print $1 + $2}')" -v span=$((duration * client_cpu_count)) \
    'BEGIN {printf "%s %.1f %.0f\n", r, (n > 0 ? t * 1000000 / hz / n : 0), c * 100 / span}'
}

# Warm both up.
run_wrk "$ours_url" 16 2 >/dev/null
run_wrk "$nginx_url" 16 2 >/dev/null

echo "GET of one element ($body_bytes bytes body), ${duration}s per run; server CPUs $server_cpus, wrk CPUs $client_cpus"
printf '%-6s | %12s %12s %6s | %9s %9s | %9s %9s %6s | %10s %10s %6s | %9s %9s\n' conns "ours req/s" "nginx req/s" \
  ratio "ours p50" "ngx p50" "ours p99" "ngx p99" ratio "ours cpu" "ngx cpu" ratio "wrk busy" "wrk busy"
printf '%-6s | %12s %12s %6s | %9s %9s | %9s %9s %6s | %10s %10s %6s | %9s %9s\n' "" "" "" "" us us us us "" us/req \
  us/req "" "% ours" "% nginx"
for conns in $connections; do
  read -r o_rps o_p50 o_p99 o_cpu o_wrk < <(measure "$ours_url" "$conns" "$ours_pid")
  read -r n_rps n_p50 n_p99 n_cpu n_wrk < <(measure "$nginx_url" "$conns" "${nginx_workers[@]}")
  awk -v c="$conns" -v orps="$o_rps" -v nrps="$n_rps" -v o50="$o_p50" -v n50="$n_p50" -v o99="$o_p99" \
    -v n99="$n_p99" -v ocpu="$o_cpu" -v ncpu="$n_cpu" -v owrk="$o_wrk" -v nwrk="$n_wrk" 'BEGIN {
      printf "%-6s | %12d %12d %5.2fx | %9.1f %9.1f | %9.1f %9.1f %5.2fx | %10.1f %10.1f %5.2fx | %9d %9d\n",
        c, orps, nrps, (nrps > 0 ? orps / nrps : 0), o50, n50, o99, n99, (n99 > 0 ? o99 / n99 : 0),
        ocpu, ncpu, (ncpu > 0 ? ocpu / ncpu : 0), owrk, nwrk
    }'
done

threads_after="$(threads_of "$ours_pid")"
rss_after="$(rss_kib_of "$ours_pid")"
# Idle: wait (bounded) until the thread count has not changed for three seconds.
threads_idle="$threads_after"
steady=0
for _ in $(seq "$idle_wait"); do
  sleep 1
  now="$(threads_of "$ours_pid")"
  if [[ "$now" == "$threads_idle" ]]; then
    steady=$((steady + 1))
    ((steady >= 3)) && break
  else
    steady=0
    threads_idle="$now"
  fi
done
threads_idle="$(threads_of "$ours_pid")"
rss_idle="$(rss_kib_of "$ours_pid")"
# Wake-ups with no connection open: voluntary context switches of every thread over a quiet
# period (nginx's workers alongside, for comparison).
switches_of() {
  local total=0 pid task
  for pid in "$@"; do
    for task in /proc/"$pid"/task/*/status; do
      total=$((total + $(awk '/^voluntary_ctxt_switches:/ {print $2}' "$task")))
    done
  done
  echo "$total"
}
quiet="${QUIET_SECONDS:-10}"
ours_switches="$(switches_of "$ours_pid")"
nginx_switches="$(switches_of "${nginx_workers[@]}")"
sleep "$quiet"
ours_switches=$(($(switches_of "$ours_pid") - ours_switches))
nginx_switches=$(($(switches_of "${nginx_workers[@]}") - nginx_switches))
echo
echo "ours: threads $threads_before before load, $threads_after right after, $threads_idle idle after load"
echo "ours: RSS ${rss_before} KiB before load, ${rss_after} KiB right after, ${rss_idle} KiB idle after load"
echo "idle ${quiet}s without connections: ours $ours_switches wake-ups (all threads), nginx workers $nginx_switches"

# Heap allocations per GET, in a separate instance (counting would slow the runs above).
kill "$ours_pid" 2>/dev/null || true
wait "$ours_pid" 2>/dev/null || true
ours_pid=""
if cc -O2 -shared -fPIC -o "$work/alloc_count.so" "$root/bench/http/alloc_count.c" 2>/dev/null; then
  LD_PRELOAD="$work/alloc_count.so" ALLOC_COUNT_FILE="$work/allocations" taskset -c "$server_cpus" \
    "$serve" "$work/rubo.json" >"$work/rubo2.out" &
  ours_pid=$!
  for _ in $(seq 100); do
    [[ $(wc -l <"$work/rubo2.out") -ge 2 ]] && break
    sleep 0.1
  done
  url="http://[::1]:$(sed -n 1p "$work/rubo2.out")$(sed -n 2p "$work/rubo2.out")"
  run_wrk "$url" 16 1 >/dev/null
  count_now() {
    rm -f "$work/allocations"
    kill -USR2 "$ours_pid"
    for _ in $(seq 50); do
      [[ -s "$work/allocations" ]] && break
      sleep 0.1
    done
    cat "$work/allocations"
  }
  before="$(count_now)"
  run_wrk "$url" 16 3 >/dev/null
  after="$(count_now)"
  requests="$(awk '/requests in/ {print $1}' "$work/wrk.out")"
  awk -v a=$((after - before)) -v n="$requests" 'BEGIN {printf "ours: %.2f heap allocations per GET (16 connections)\n", a / n}'
fi
