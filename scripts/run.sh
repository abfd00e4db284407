#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool on the simulated
# adapter, with the bench window beside it (the handset, the adapter and the
# far end at hand). The simulator plays the example incoming call unless
# TVXUSB_SCENARIO names another scenario file.
#
# --no-bench-window (or TVX_BENCH_WINDOW=0) starts the tool alone. Other
# arguments go to the tool. The bench window ends when the tool ends.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bench="${TVX_BENCH_WINDOW:-1}"
tool_args=()
for arg in "$@"; do
  if [ "$arg" = "--no-bench-window" ]; then
    bench=0
  else
    tool_args+=("$arg")
  fi
done

targets=(tvxmonitor)
[ "$bench" = 0 ] || targets+=(tvxsim-panel)

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target "${targets[@]}"

export TVXUSB_SCENARIO="${TVXUSB_SCENARIO:-$root/simulator/scenarios/incoming-call.scn}"

# The tool in the foreground; the bench window in the background, ended by
# its process id when the tool ends (it waits for the device by itself).
start() {
  local tool="$root/build/default/app/tvxmonitor"
  if [ "$bench" = 0 ]; then
    exec "$tool" "$@"
  fi
  "$root/build/default/simulator/benchwindow/tvxsim-panel" &
  panel=$!
  trap 'kill "$panel" 2>/dev/null || true' EXIT
  local status=0
  "$tool" "$@" || status=$?
  kill "$panel" 2>/dev/null || true
  wait "$panel" 2>/dev/null || true
  trap - EXIT
  return "$status"
}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting the tool on a virtual X server (xvfb-run)."
  # xvfb-run's shell passes no exported functions on: the function goes as text.
  export root bench
  exec xvfb-run -a bash -c "$(declare -f start); start \"\$@\"" start ${tool_args[@]+"${tool_args[@]}"}
fi
start ${tool_args[@]+"${tool_args[@]}"}
