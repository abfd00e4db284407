#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool on the simulated
# adapter. The simulator plays the example incoming call unless
# TVXUSB_SCENARIO names another scenario file.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target tvxmonitor

export TVXUSB_SCENARIO="${TVXUSB_SCENARIO:-$root/simulator/scenarios/incoming-call.scn}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting the tool on a virtual X server (xvfb-run)."
  exec xvfb-run -a build/default/app/tvxmonitor "$@"
fi
exec build/default/app/tvxmonitor "$@"
