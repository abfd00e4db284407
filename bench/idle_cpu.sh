#!/usr/bin/env bash
# CPU used by the tool while it sits idle on the simulated adapter (the
# signal engine running in real time), in % of one core, measured from
# /proc/<pid>/stat over a fixed interval on a virtual X server. In the same
# run, the tool on the tests' stand-in library (no engine, no thread) gives
# the baseline of the tool's own idle work, and the simulated adapter is
# measured with its sound-server audio off (TVXUSB_AUDIO=0), with no server
# to reach, and with its nodes published on a private sound server
# (tests/support/pipewire-session.sh; the nodes idle, nothing linked to them).
#   bench/idle_cpu.sh [SECONDS]   (default 30 each; the default preset must be built)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
tool="$root/build/default/app/tvxmonitor"
stand_in="$root/build/default/tests/stub/recorder"
[ -x "$tool" ] || { echo "build the default preset first: $tool" >&2; exit 1; }

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# The process running the tool's executable.
tool_pid() {
  local p found=""
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$tool" ] && found="${p#/proc/}"
  done
  echo "$found"
}

# measure LABEL [LD_LIBRARY_PATH [NAME=VALUE...]]: prints the tool's idle CPU.
measure() {
  local label="$1" libs="${2:-}" runner pid="" before after hz
  shift 2 || shift $#
  env ${libs:+LD_LIBRARY_PATH="$libs"} "$@" QT_QPA_PLATFORM=xcb xvfb-run -a "$tool" &
  runner=$!
  for _ in $(seq 50); do
    pid="$(tool_pid)"
    [ -n "$pid" ] && break
    sleep 0.2
  done
  [ -n "$pid" ] || { echo "the tool did not start" >&2; kill "$runner"; exit 1; }
  sleep 5  # start-up done
  hz="$(getconf CLK_TCK)"
  before="$(cpu_ticks "$pid")"
  sleep "$seconds"
  after="$(cpu_ticks "$pid")"
  kill "$pid"
  wait "$runner" 2>/dev/null || true
  awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" -v l="$label" \
    'BEGIN { printf "%-44s %5.2f %% of one core over %d s (%d ticks at %d Hz)\n", l, 100 * t / hz / s, s, t, hz }'
}

unset TVXUSB_SCENARIO TVXUSB_RECORD TVXUSB_AUDIO
measure "tool idle on the simulated adapter:"
measure "  its sound-server audio off:" "" TVXUSB_AUDIO=0
session="$(mktemp -d "${TMPDIR:-/tmp}/tvx-idle-pipewire.XXXXXX")"
trap '"$root/tests/support/pipewire-session.sh" stop "$session"; rm -rf "$session"' EXIT
mapfile -t session_env < <("$root/tests/support/pipewire-session.sh" start "$session")
mkdir -p -m 700 "$session/none"
measure "  no sound server reachable:" "" XDG_RUNTIME_DIR="$session/none" PIPEWIRE_RUNTIME_DIR="$session/none"
measure "  nodes published on a sound server:" "" "${session_env[@]}"
if [ -e "$stand_in/libtvxusb.so.1" ]; then
  measure "baseline, tool on the stand-in library:" "$stand_in"
fi
