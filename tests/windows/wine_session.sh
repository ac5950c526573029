#!/bin/sh
# The Wine side of the Windows tests, run by ctest as fixtures:
#   prefix       make the build's prefix if it is missing (the slow first
#                start, once), map the COM ports of the scale peers in it,
#                and start the one wineserver of the run
#   end          end that wineserver
#   peers-start  start the simulated scales whose pseudo-terminals the ports name
#   peers-stop   stop them
# ctest gives the settings below in the environment (tests/windows/CMakeLists.txt).
set -eu
: "${WINE_RUN:?}" "${WINESERVER:?}" "${WINEPREFIX:?}" "${PORTS_DIR:?}"
: "${SCALE_PORT:?}" "${SILENT_PORT:?}" "${HUNG_UP_PORT:?}" "${COMPANION_PORT:?}"
ports="$SCALE_PORT $SILENT_PORT $HUNG_UP_PORT $COMPANION_PORT"
export WINEPREFIX WINEDEBUG=-all

# The wineserver ends by itself this long after its last program, should the
# end of the run never come (ctest stopped half-way).
server_linger_seconds=30
# Nor does a simulated scale outlive a run that never stops it.
peer_lifetime_seconds=900
# How long a scale may take to show its pseudo-terminal: 50 looks, 0.1 s apart.
peer_start_looks=50

port_mapped() {
  grep -qF "\"$1\"=\"$PORTS_DIR/$1\"" "$WINEPREFIX/system.reg" 2>/dev/null
}

map_ports() {
  for port in $ports; do
    "$WINE_RUN" reg add 'HKLM\Software\Wine\Ports' /v "$port" /t REG_SZ /d "$PORTS_DIR/$port" /f >/dev/null
  done
  # Wine reads the ports when its server starts, and writes the registry to
  # the prefix when the server ends: wait for that.
  "$WINESERVER" -w
}

# Still running: neither gone nor ended and waiting to be reaped (a zombie).
running() {
  state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1)
  [ -n "$state" ] && [ "$state" != Z ]
}

stop_peer() {
  pid_file="$PORTS_DIR/$1.pid"
  [ -f "$pid_file" ] || return 0
  pid=$(cat "$pid_file")
  # Only a scale this script started: a process of that number running
  # something else is left alone.
  if grep -q scale-sim "/proc/$pid/cmdline" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    # A scale removes its link as it ends: wait for that, or it could remove
    # the link of the scale started next in its place.
    looks=0
    while running "$pid" && [ "$looks" -lt "$peer_start_looks" ]; do
      looks=$((looks + 1))
      sleep 0.1
    done
  fi
  rm -f "$pid_file"
}

start_peer() {
  port=$1
  shift
  stop_peer "$port"
  rm -f "$PORTS_DIR/$port"
  timeout "$peer_lifetime_seconds" "$SCALE_SIM" --link "$PORTS_DIR/$port" "$@" \
    </dev/null >"$PORTS_DIR/$port.log" 2>&1 &
  echo $! >"$PORTS_DIR/$port.pid"
  looks=0
  while [ ! -e "$PORTS_DIR/$port" ]; do
    looks=$((looks + 1))
    if [ "$looks" -gt "$peer_start_looks" ]; then
      echo "the simulated scale for $port did not start:" >&2
      cat "$PORTS_DIR/$port.log" >&2
      return 1
    fi
    sleep 0.1
  done
}

case "${1:-}" in
prefix)
  mkdir -p "$PORTS_DIR"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "making the Wine prefix $WINEPREFIX"
    "$WINE_RUN" wineboot --init >/dev/null 2>&1
  fi
  for port in $ports; do
    port_mapped "$port" || unmapped=yes
  done
  if [ -n "${unmapped:-}" ]; then
    map_ports
  fi
  # Already running (a run a moment ago) is as good.
  "$WINESERVER" -p"$server_linger_seconds" 2>/dev/null || true
  # The first program of a server starts Wine's own services, which stay as
  # long as the server and keep whatever output they were given open: here,
  # nothing of a test's, or ctest would wait for them to end.
  "$WINE_RUN" reg query 'HKLM\Software\Wine\Ports' </dev/null >/dev/null 2>&1
  ;;
end)
  "$WINESERVER" -k 2>/dev/null || true
  ;;
peers-start)
  : "${SCALE_SIM:?}"
  if [ ! -x "$SCALE_SIM" ]; then
    echo "no simulated scale at $SCALE_SIM: build the Linux program first (cmake --build --preset default --target scale-sim)" >&2
    exit 1
  fi
  mkdir -p "$PORTS_DIR"
  start_peer "$SCALE_PORT"
  start_peer "$SILENT_PORT" --silent
  start_peer "$HUNG_UP_PORT" --hang-up
  start_peer "$COMPANION_PORT" --seed "${COMPANION_SEED:?}"
  ;;
peers-stop)
  for port in $ports; do
    stop_peer "$port"
  done
  ;;
*)
  echo "usage: $0 prefix|end|peers-start|peers-stop" >&2
  exit 2
  ;;
esac
