#!/usr/bin/env bash
# Download throughput figures (not a test): a 64 MiB file served by python3 -m http.server on
# loopback, fetched by the launcher's download path and by a plain WinINet loop with 1 MiB reads
# (both in download_bench.exe under Wine), and by native curl; medians of three runs each.
#   tools/bench-download.sh [BUILD_DIR]   (default build/x86_64; download_bench must be built)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/x86_64}" && pwd)
exe="$build/tools/bench/download_bench.exe"
env_sh="$here/tests/harness/wine-env.sh"
[ -f "$exe" ] || { echo "bench-download: build download_bench first ($exe)" >&2; exit 2; }
port=${BENCH_PORT:-18491}

work=$(mktemp -d "$build/bench-download.XXXXXX")
server=
started_display=0
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  [ "$started_display" = 1 ] && "$env_sh" stop "$build" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/www/zentavorn/vorn_web"
head -c $((64 * 1024 * 1024)) /dev/urandom > "$work/www/zentavorn/vorn_web/kovra_vornbt_launch_1.exe"
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/www" >"$work/server.log" 2>&1 &
server=$!
url="http://127.0.0.1:$port/zentavorn/vorn_web/kovra_vornbt_launch_1.exe"
for _ in $(seq 50); do curl -sf -o /dev/null -r 0-0 "$url" && break; sleep 0.1; done

[ -f "$build/wine-env/xvfb.pid" ] || [ -n "${DISPLAY:-}" ] || started_display=1
"$env_sh" start "$build" >/dev/null
"$env_sh" run "$build" "$exe" "$url" "Z:$work" >"$work/bench.out" 2>&1 || { cat "$work/bench.out"; exit 1; }
curl -sf -o "$work/via_curl.bin" "$url"  # warm-up, as the bench does
curl_ms=
for _ in 1 2 3; do
  curl_ms="$curl_ms $(curl -sf -o "$work/via_curl.bin" -w '%{time_total}' "$url" | awk '{ printf "%.1f", $1 * 1000 }')"
done

for f in via_launch.bin via_plain.bin via_curl.bin; do
  cmp -s "$work/www/zentavorn/vorn_web/kovra_vornbt_launch_1.exe" "$work/$f" || { echo "bench-download: $f differs from the served file" >&2; exit 1; }
done
tr -d '\r' <"$work/bench.out" | awk -v curl_runs="$curl_ms" '
  function median(list,   v, n, i, j, t) {
    n = split(list, v, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  /^launch_path / { split($3, a, "="); launch_runs = launch_runs " " a[2] }
  /^wininet_1mib / { split($3, a, "="); plain_runs = plain_runs " " a[2] }
  END {
    mib = 64; launch = median(launch_runs); plain = median(plain_runs); curl = median(curl_runs)
    printf "64 MiB from 127.0.0.1 (python3 -m http.server), median of 3 after a warm-up (ms per run):\n"
    printf "  launcher download path (Wine) %8.1f ms %8.1f MiB/s   runs:%s\n", launch, mib * 1000 / launch, launch_runs
    printf "  WinINet, 1 MiB reads (Wine)   %8.1f ms %8.1f MiB/s   runs:%s\n", plain, mib * 1000 / plain, plain_runs
    printf "  curl (native)                 %8.1f ms %8.1f MiB/s   runs: %s\n", curl, mib * 1000 / curl, curl_runs
    printf "  time ratios: launcher/WinINet %.2f, launcher/curl %.2f, WinINet/curl %.2f\n",
           launch / plain, launch / curl, plain / curl
  }'
