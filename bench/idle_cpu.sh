#!/usr/bin/env bash
# CPU used by the tool while it sits idle on the simulated adapter (the
# signal engine running in real time), in % of one core, measured from
# /proc/<pid>/stat over a fixed interval on a virtual X server.
#   bench/idle_cpu.sh [SECONDS]   (default 30; the default preset must be built)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
tool="$root/build/default/app/tvxmonitor"
[ -x "$tool" ] || { echo "build the default preset first: $tool" >&2; exit 1; }

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

unset TVXUSB_SCENARIO TVXUSB_RECORD
export QT_QPA_PLATFORM=xcb
xvfb-run -a "$tool" &
runner=$!
pid=""
for _ in $(seq 50); do
  pid="$(pgrep -n -f "^$tool" || true)"
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
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "tool idle on the simulated adapter: %.2f %% of one core over %d s (%d ticks at %d Hz)\n", 100 * t / hz / s, s, t, hz }'
