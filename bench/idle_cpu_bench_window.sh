#!/usr/bin/env bash
# CPU used by the bench window (tvxsim-panel) while the device is open and
# nothing happens, in % of one core, beside the tool it watches: both are
# measured from /proc/<pid>/stat over the same interval of the same run, on
# a virtual X server (xvfb-run, 1280x800). The tool runs on the simulated
# adapter with its sound-server audio off (TVXUSB_AUDIO=0) and no scenario,
# in a runtime folder of its own (its control socket is nobody else's).
# Given another build of tvxsim-panel, that one watches the same device at
# the same time and is measured over the same interval, for a comparison.
# Measured twice: without a screen reader, and with the accessibility bus
# of a session bus of its own on (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1).
#   bench/idle_cpu_bench_window.sh [SECONDS [OTHER_TVXSIM_PANEL]]
#   (default 30 s each; the default preset must be built)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/default"

# Inside the virtual X server: starts the tool and the windows, lets them
# connect and settle, then measures them all over the same interval.
# Arguments: label seconds tool tvxsim panel [other panel].
inner() {
  local label="$1" seconds="$2" tool="$3" tvxsim="$4" work hz
  shift 4
  work="$(mktemp -d "${TMPDIR:-/tmp}/tvx-idle-bench.XXXXXX")"
  chmod 700 "$work"
  export XDG_RUNTIME_DIR="$work" TVXUSB_AUDIO=0
  unset TVXUSB_SCENARIO TVXUSB_RECORD
  local pids=() names=() before=() after=() i
  "$tool" >"$work/tool.log" 2>&1 &
  pids+=($!) names+=("tool")
  for _ in $(seq 100); do "$tvxsim" state >/dev/null 2>&1 && break; sleep 0.1; done
  "$tvxsim" state >/dev/null 2>&1 || { echo "the tool did not open the simulated adapter" >&2; kill "${pids[@]}"; exit 1; }
  for panel in "$@"; do
    "$panel" >"$work/panel-${#pids[@]}.log" 2>&1 &
    pids+=($!) names+=("$panel")
  done
  sleep 5  # start-up and connection done
  for i in "${!pids[@]}"; do before[i]="$(awk '{ print $14 + $15 }' "/proc/${pids[i]}/stat")"; done
  sleep "$seconds"
  for i in "${!pids[@]}"; do after[i]="$(awk '{ print $14 + $15 }' "/proc/${pids[i]}/stat")"; done
  kill "${pids[@]}"
  wait "${pids[@]}" 2>/dev/null || true
  rm -rf "$work"
  hz="$(getconf CLK_TCK)"
  echo "$label"
  for i in "${!pids[@]}"; do
    awk -v t=$((after[i] - before[i])) -v hz="$hz" -v s="$seconds" -v n="${names[i]}" -v base=$((after[0] - before[0])) \
      'BEGIN {
        printf "  %5.2f %% of one core over %d s (%d ticks at %d Hz)", 100 * t / hz / s, s, t, hz
        if (n != "tool" && base > 0) printf ", %.2f times as much as the tool", t / base
        printf ": %s\n", n
      }'
  done
}

if [ "${1:-}" = "--inner" ]; then
  shift
  inner "$@"
  exit
fi

seconds="${1:-30}"
panels=("$build/simulator/benchwindow/tvxsim-panel")
[ -z "${2:-}" ] || panels+=("$(realpath "$2")")
for program in "$build/app/tvxmonitor" "$build/simulator/tvxsim" "${panels[@]}"; do
  [ -x "$program" ] || { echo "build the default preset first: $program" >&2; exit 1; }
done
self="$root/bench/$(basename "${BASH_SOURCE[0]}")"
args=("$seconds" "$build/app/tvxmonitor" "$build/simulator/tvxsim" "${panels[@]}")
xvfb-run -a -s "-screen 0 1280x800x24" "$self" --inner "idle, no screen reader:" "${args[@]}"
if command -v dbus-run-session >/dev/null; then
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 xvfb-run -a -s "-screen 0 1280x800x24" \
    dbus-run-session -- "$self" --inner "idle, the accessibility bus on:" "${args[@]}" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
