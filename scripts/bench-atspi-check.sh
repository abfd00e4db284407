#!/usr/bin/env bash
# Checks the bench window by hand, through the accessibility bus: starts a
# virtual X server, a session bus (the accessibility bus comes with it), the
# tool on the simulated adapter with no scenario, and the bench window, then
# runs scripts/bench_atspi_check.py, which presses the bench window's
# controls and reads the results with `tvxsim state` and the tool's log.
# Needs a build of tvxmonitor, tvxusb, tvxsim and tvxsim-panel, Xvfb,
# python3-gi and the accessibility bus (scripts/install-deps.sh). With
# --shots DIR, pictures of the screen before and after go to DIR.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/default"
shots=""
[ "${1:-}" = "--shots" ] && shots="${2:?--shots needs a folder}"

work="$(mktemp -d)"
chmod 700 "$work"
pids=()
finish() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
pids+=("$(cat "$work/bus.pid")")
DBUS_SESSION_BUS_ADDRESS="$(cat "$work/bus")"
export DBUS_SESSION_BUS_ADDRESS

# No line configuration of the user's: the check writes its own later.
export DISPLAY="$display" XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/config" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 TVXUSB_AUDIO=0
unset TVXUSB_SCENARIO TVXUSB_LINE TMPDIR
"$build/app/tvxmonitor" >"$work/tool.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do "$build/simulator/tvxsim" state >/dev/null 2>&1 && break; sleep 0.1; done
"$build/simulator/benchwindow/tvxsim-panel" -geometry +0+0 >"$work/panel.log" 2>&1 &
pids+=($!)
sleep 2
[ -z "$shots" ] || { mkdir -p "$shots"; import -window root "$shots/before.png"; }
status=0
/usr/bin/python3 "$root/scripts/bench_atspi_check.py" "$build/simulator/tvxsim" || status=$?
[ -z "$shots" ] || import -window root "$shots/after.png"
exit "$status"
