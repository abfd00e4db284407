#!/usr/bin/env bash
# A private, headless sound server for tests and benchmarks: a session bus
# (dbus-run-session) around pipewire, wireplumber and pipewire-pulse, in a
# runtime folder of its own, with a null sink as the default sink. Nothing
# of the user's own session is touched; every process is stopped by its id.
#
#   pipewire-session.sh run [DIR] -- COMMAND...  runs COMMAND inside a new session, then stops it;
#                                                COMMAND's exit status is the script's
#   pipewire-session.sh start DIR                starts a session in DIR (made if missing) and
#                                                prints its environment as NAME=value lines
#   pipewire-session.sh stop DIR                 stops it
#   pipewire-session.sh stop-server DIR          stops only the sound server (the bus stays)
#   pipewire-session.sh start-server DIR         starts it again in the same session
#
# Inside, XDG_RUNTIME_DIR, XDG_CONFIG_HOME, XDG_STATE_HOME, PIPEWIRE_RUNTIME_DIR,
# DBUS_SESSION_BUS_ADDRESS and TVX_PIPEWIRE_SESSION (DIR) are set; the null sink
# is named tvx-null-sink (record its monitor with `pw-record --target tvx-null-sink`).
# The default source, tvx-null-source, is a null sink shown as a source: what
# is linked into its input (tvx-null-source:input_MONO) is the microphone's
# sound; the session manager links no playback stream to it by itself.
set -euo pipefail
self="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
readonly null_sink=tvx-null-sink
readonly servers=(pipewire wireplumber pipewire-pulse)

die() { echo "pipewire-session: $*" >&2; exit 1; }

# The environment of a session in $1, as NAME=value lines.
session_env() {
  local dir="$1"
  echo "XDG_RUNTIME_DIR=$dir/run"
  echo "PIPEWIRE_RUNTIME_DIR=$dir/run"
  echo "XDG_CONFIG_HOME=$dir/config"
  echo "XDG_STATE_HOME=$dir/state"
  echo "TVX_PIPEWIRE_SESSION=$dir"
  [ -s "$dir/bus" ] && echo "DBUS_SESSION_BUS_ADDRESS=$(cat "$dir/bus")"
  return 0
}

export_env() {
  local line
  while IFS= read -r line; do export "${line?}"; done < <(session_env "$1")
  unset PULSE_SERVER PIPEWIRE_REMOTE
}

write_config() {
  local dir="$1"
  mkdir -p "$dir/run" "$dir/config/pipewire/pipewire.conf.d" "$dir/state" "$dir/log"
  chmod 700 "$dir/run"
  cat >"$dir/config/pipewire/pipewire.conf.d/50-tvx-null-sink.conf" <<CONF
# The tests' speakers: a sink that plays to nowhere and drives the graph.
context.objects = [
  { factory = adapter
    args = {
      factory.name     = support.null-audio-sink
      node.name        = "$null_sink"
      node.description = "Test speakers (null sink)"
      media.class      = Audio/Sink
      audio.position   = [ MONO ]
      audio.rate       = 48000
      priority.session = 2000
      priority.driver  = 2000
      object.linger    = true
      monitor.channel-volumes = true
    }
  }
  { factory = adapter
    args = {
      factory.name     = support.null-audio-sink
      node.name        = "tvx-null-source"
      node.description = "Test microphone (silent unless fed)"
      media.class      = Audio/Source/Virtual
      audio.position   = [ MONO ]
      audio.rate       = 48000
      priority.session = 2000
      object.linger    = true
    }
  }
]
CONF
}

# Starts the three servers in the session; their ids go to DIR/pids.
start_servers() {
  local dir="$1" name
  export_env "$dir"
  : >"$dir/pids"
  for name in "${servers[@]}"; do
    "$name" >>"$dir/log/$name.log" 2>&1 </dev/null &
    echo "$!" >>"$dir/pids"
    # wireplumber and pipewire-pulse need the core's socket first
    [ "$name" = pipewire ] && wait_for_socket "$dir"
  done
  wait_for_default_sink "$dir"
}

wait_for_socket() {
  local i
  for i in $(seq 100); do
    [ -S "$1/run/pipewire-0" ] && return 0
    sleep 0.05
  done
  die "pipewire did not start (see $1/log/pipewire.log)"
}

# Waits until WirePlumber has chosen the null sink as the default sink.
wait_for_default_sink() {
  local i
  for i in $(seq 100); do
    if pw-metadata 0 default.audio.sink 2>/dev/null | grep -q "\"$null_sink\""; then
      return 0
    fi
    sleep 0.1
  done
  die "no default sink after 10 s (see $1/log/)"
}

stop_servers() {
  local dir="$1" pid
  [ -s "$dir/pids" ] || return 0
  # last started first
  for pid in $(tac "$dir/pids"); do
    kill "$pid" 2>/dev/null || true
  done
  for pid in $(cat "$dir/pids"); do
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
  done
  : >"$dir/pids"
}

# Runs inside dbus-run-session: records the bus, starts the servers, then
# waits until `stop` writes to the control FIFO.
inner() {
  local dir="$1"
  echo "$DBUS_SESSION_BUS_ADDRESS" >"$dir/bus"
  if ! start_servers "$dir"; then
    echo failed >"$dir/ready"
    stop_servers "$dir"
    exit 1
  fi
  echo ok >"$dir/ready"
  read -r _ <"$dir/control" || true
  stop_servers "$dir"
}

start() {
  local dir="$1"
  command -v dbus-run-session >/dev/null || die "dbus-run-session is missing (scripts/install-deps.sh)"
  mkdir -p "$dir"
  dir="$(cd "$dir" && pwd)"
  if [ -f "$dir/session.pid" ] && kill -0 "$(cat "$dir/session.pid")" 2>/dev/null; then
    die "a session already runs in $dir"
  fi
  rm -f "$dir/ready" "$dir/bus" "$dir/control"
  write_config "$dir"
  mkfifo "$dir/control"
  # a fresh shell's own variables must not point the session elsewhere
  env -u DBUS_SESSION_BUS_ADDRESS -u PULSE_SERVER -u PIPEWIRE_REMOTE \
    setsid dbus-run-session -- "$self" _inner "$dir" >"$dir/log/session.log" 2>&1 </dev/null &
  echo "$!" >"$dir/session.pid"
  local i
  for i in $(seq 200); do
    [ -s "$dir/ready" ] && break
    kill -0 "$(cat "$dir/session.pid")" 2>/dev/null || break
    sleep 0.05
  done
  if [ "$(cat "$dir/ready" 2>/dev/null)" != ok ]; then
    stop "$dir"
    cat "$dir/log/"*.log >&2 || true
    die "the sound server did not start"
  fi
  session_env "$dir"
}

stop() {
  local dir="$1" pid
  [ -f "$dir/session.pid" ] || return 0
  pid="$(cat "$dir/session.pid")"
  if kill -0 "$pid" 2>/dev/null; then
    # the inner shell stops the servers, then the bus ends with it
    echo stop >"$dir/control" &
    local writer=$!
    for _ in $(seq 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    kill "$writer" 2>/dev/null || true
    wait "$writer" 2>/dev/null || true
    stop_servers "$dir"
    kill "$pid" 2>/dev/null || true
  fi
  rm -f "$dir/session.pid" "$dir/control"
}

run() {
  local dir="" own=0
  if [ "${1:-}" != "--" ] && [ -n "${1:-}" ]; then dir="$1"; shift; fi
  [ "${1:-}" = "--" ] && shift
  [ "$#" -gt 0 ] || die "run: no command"
  if [ -z "$dir" ]; then
    dir="$(mktemp -d "${TMPDIR:-/tmp}/tvx-pipewire.XXXXXX")"
    own=1
  fi
  start "$dir" >/dev/null
  local rc=0
  (export_env "$dir" && "$@") || rc=$?
  stop "$dir"
  [ "$own" -eq 1 ] && rm -rf "$dir"
  return "$rc"
}

case "${1:-}" in
  run) shift; run "$@" ;;
  start) [ -n "${2:-}" ] || die "start: no folder"; start "$2" ;;
  stop) [ -n "${2:-}" ] || die "stop: no folder"; stop "$2" ;;
  stop-server) [ -n "${2:-}" ] || die "stop-server: no folder"; stop_servers "$2" ;;
  start-server)
    [ -n "${2:-}" ] || die "start-server: no folder"
    [ -s "$2/bus" ] || die "start-server: no session in $2"
    start_servers "$2" </dev/null >/dev/null
    ;;
  _inner) inner "$2" ;;
  *) sed -n '2,22p' "$self" >&2; exit 2 ;;
esac
