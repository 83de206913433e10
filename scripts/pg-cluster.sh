#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests and the benchmarks.
#
#   scripts/pg-cluster.sh start DIR   makes a cluster in DIR, starts it on
#                                     127.0.0.1 (a free port) and a Unix
#                                     socket in DIR, and prints its URI
#   scripts/pg-cluster.sh stop DIR    stops it and removes DIR
#
# The server runs as an unprivileged user (postgres when started by root,
# else the caller) and trusts only connections from this machine, since
# it holds nothing but scratch companies.
set -euo pipefail

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[[ -n "$bindir" ]] || { echo "pg-cluster: PostgreSQL is not installed" >&2; exit 1; }

as_owner() {
  if [[ $(id -u) == 0 ]]; then runuser -u postgres -- "$@"; else "$@"; fi
}

free_port() {
  echo $((20000 + RANDOM % 40000))
}

start() {
  local dir=$1
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  [[ $(id -u) == 0 ]] && chown postgres "$dir"
  as_owner "$bindir/initdb" -D "$dir/data" -A trust -U vx70 --no-sync -E UTF8 >"$dir/initdb.log"
  local port
  for _ in 1 2 3 4 5; do
    port=$(free_port)
    if as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c max_connections=200" start >/dev/null; then
      as_owner "$bindir/createdb" -h "$dir" -p "$port" -U vx70 vx70
      echo "postgresql://vx70@127.0.0.1:$port/vx70" | tee "$dir/uri"
      return 0
    fi
  done
  echo "pg-cluster: the server did not start; see $dir/server.log" >&2
  exit 1
}

stop() {
  local dir=$1
  [[ -d "$dir/data" ]] && as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null || true
  rm -rf "$dir"
}

case "${1:-}" in
  start) start "${2:?start needs a folder}" ;;
  stop) stop "${2:?stop needs a folder}" ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
