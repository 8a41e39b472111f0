#!/usr/bin/env bash
# The Wine side of the tests: a private prefix inside the build tree, an X display, and a runner
# that keeps Wine's long-lived processes off the caller's pipes (they inherit them otherwise and
# the caller never sees end of file).
#   wine-env.sh start BUILD_DIR        create the prefix once, start Xvfb when no display is set
#   wine-env.sh run   BUILD_DIR EXE .. run EXE under Wine in that prefix, print its output, pass its exit code
#   wine-env.sh stop  BUILD_DIR        end that prefix's wineserver and the Xvfb this script started
set -u
cmd=${1:?start|run|stop}; build=$(cd "${2:?build dir}" && pwd); shift 2
state="$build/wine-env"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts; and no debugger on a crash, so a crashing test ends instead of hanging.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
# Code page 936, as on a player's Chinese Windows.
export LC_ALL="${LAUNCHER_TEST_LOCALE:-zh_CN.UTF-8}"
mkdir -p "$state"

display() {
  if [ -f "$state/display" ]; then cat "$state/display"; else echo "${DISPLAY:-}"; fi
}

case "$cmd" in
start)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: creating prefix $WINEPREFIX (once)"
    wineboot -i >"$state/wineboot.log" 2>&1 </dev/null
    wineserver -w
  fi
  if [ -z "${DISPLAY:-}" ] && [ ! -f "$state/xvfb.pid" ]; then
    n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    setsid Xvfb ":$n" -screen 0 1600x900x24 -nolisten tcp >"$state/xvfb.log" 2>&1 </dev/null &
    echo $! >"$state/xvfb.pid"
    echo ":$n" >"$state/display"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    echo "wine-env: Xvfb :$n (pid $(cat "$state/xvfb.pid"))"
  fi
  # A persistent server started here, detached, so no test's pipe is held by it.
  DISPLAY=$(display) setsid wineserver -p >/dev/null 2>&1 </dev/null &
  wait $! 2>/dev/null
  exit 0
  ;;
run)
  exe=${1:?exe}; shift
  out=$(mktemp "$state/run.XXXXXX")
  DISPLAY=$(display) wine "$exe" "$@" >"$out" 2>&1 </dev/null
  rc=$?
  cat "$out"; rm -f "$out"
  exit $rc
  ;;
stop)
  wineserver -k >/dev/null 2>&1
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
    rm -f "$state/xvfb.pid" "$state/display"
  fi
  exit 0
  ;;
esac
echo "wine-env: unknown command $cmd" >&2; exit 2
