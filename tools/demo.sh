#!/usr/bin/env bash
# Runs the launcher against a local demo: the demo login page on the build's login page host and
# the stand-in client launcher for download on its CDN host, both served on loopback, and the
# launcher itself under Wine. Builds what is missing first (as root on a fresh machine: the set-up
# installs packages).
#
# With a DISPLAY the launcher runs there until you end it (close button, or a login where Wine has
# its HTML engine). Without one the script starts its own Xvfb, photographs the running launcher
# into build/x86_64/demo/launcher.png, ends it through its close button and the confirmation, and
# stops that Xvfb again. Servers, Wine and Xvfb are stopped by pid when the launcher has exited.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build="$here/build/x86_64"
demo="$build/demo"   # Wine prefix, servers' logs and the launcher's folder of this demo
run="$demo/run"      # the launcher runs here: it downloads the client launcher next to itself
wine_env="$here/tests/harness/wine-env.sh"
title='Brimlow0.1折'

tools/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$here/build/deps/x86_64" >/dev/null
cmake --build "$build" -j "$(nproc)" --target BrimlowLogin stand_in_launcher

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
login_host=$(cache_value LOGIN_PAGE_HOST)
cdn_host=$(cache_value CDN_HOST)
port_of() { case "$1" in *:*) echo "${1##*:}" ;; *) echo 80 ;; esac; }
for h in "$login_host" "$cdn_host"; do
  case "${h%:*}" in
    127.0.0.1|localhost) ;;
    *) echo "demo: this build points at $h; the demo serves only loopback hosts." \
            "Configure with -DLOGIN_PAGE_HOST=127.0.0.1:18480 -DCDN_HOST=127.0.0.1:18481." >&2
       exit 1 ;;
  esac
done
stand_in=$(find "$build/tools" -name 'stand_in_launcher.exe' -print -quit)
[ -n "$stand_in" ] || { echo "demo: stand_in_launcher.exe was not built" >&2; exit 1; }

# A fresh launcher folder, so the run downloads the client launcher again.
mkdir -p "$demo"
rm -rf "$run"
mkdir -p "$run"
cp "$build/BrimlowLogin.exe" "$run/"

pids=()
own_display=0
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  "$wine_env" stop "$demo" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

python3 demo/serve.py login "$(port_of "$login_host")" 2>"$demo/login-server.log" &
pids+=($!)
python3 demo/serve.py cdn "$(port_of "$cdn_host")" "$stand_in" 2>"$demo/cdn-server.log" &
pids+=($!)

# Without Gecko (Wine's HTML engine) Wine would stop on an offer to download it: keep mshtml off
# then. With it installed the page loads and the whole login runs.
if ls /usr/share/wine/gecko/*.msi /opt/wine/gecko/*.msi >/dev/null 2>&1 ||
   ls -d "$demo"/wineprefix/drive_c/windows/system32/gecko/*/wine_gecko >/dev/null 2>&1; then
  export WINEDLLOVERRIDES="mscoree="
  echo "demo: Wine has its HTML engine; the login page will load"
else
  export WINEDLLOVERRIDES="mscoree,mshtml="
  echo "demo: Wine has no HTML engine here; the browser area stays hidden, only the skin shows"
fi
[ -n "${DISPLAY:-}" ] || own_display=1
"$wine_env" start "$demo"
[ -f "$demo/wine-env/display" ] && export DISPLAY=$(cat "$demo/wine-env/display")

echo "demo: login page http://$login_host/vorn2/login/index.php," \
     "client launcher http://$cdn_host/zentavorn/vorn_web/kovra_vornbt_launch_1.exe"
(cd "$run" && exec "$wine_env" run "$demo" "$run/BrimlowLogin.exe" >"$demo/launcher.out" 2>&1) &
launcher=$!

if [ "$own_display" = 1 ]; then
  # Headless: show what the launcher looks like, then end it the way a player does.
  geometry=""
  for _ in $(seq 150); do
    win=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) || true
    [ -n "$win" ] && geometry=$(xdotool getwindowgeometry --shell "$win" 2>/dev/null) && break
    kill -0 "$launcher" 2>/dev/null || break
    sleep 0.2
  done
  if [ -n "$geometry" ]; then
    X=0; Y=0
    eval "$geometry"
    sleep 2
    import -window root "$demo/launcher.png"
    echo "demo: screenshot $demo/launcher.png"
    xdotool mousemove $((X + 1235)) $((Y + 142)) click 1   # the close button
    sleep 1.5
    # The confirmation is centred on the screen, as the main window is: its "确定" sits at 40..113 x 72..97.
    xdotool mousemove $((X + (1334 - 256) / 2 + 76)) $((Y + (725 - 110) / 2 + 85)) click 1
  fi
fi

set +e
wait "$launcher"
rc=$?
set -e
echo "demo: the launcher exited with code $rc"
[ -f "$run/log.txt" ] && { echo "demo: log.txt:"; sed 's/^/  /' "$run/log.txt"; }
if [ -f "$run/kovra_vornbt_launch.exe" ]; then
  echo "demo: the client launcher was downloaded to $run/kovra_vornbt_launch.exe"
  # The stand-in records the exact command line it was started with.
  if [ -f "$run/kovra_vornbt_launch.cmdline" ]; then
    echo "demo: it was started with:"
    echo "  $(cat "$run/kovra_vornbt_launch.cmdline")"
  fi
fi
exit 0
