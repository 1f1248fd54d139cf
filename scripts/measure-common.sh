# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Shared by scripts/screenshots, scripts/measure-startup and scripts/measure-drag; sourced, not run.
# Installs what is missing, builds, and runs a private Xvfb; everything it started is stopped
# again on exit.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
build=$root/build
bench_build=$root/build-bench
started_pids=()
runtime_dir=

# build_program: builds build/velmora as scripts/setup run does (incremental; a new build tree
# leaves the tests out, an existing one keeps its choice).
build_program() {
  local tests=()
  [ -f "$build/CMakeCache.txt" ] || tests=(-DVELMORA_TESTS=OFF)
  (cd "$root" && cmake --preset default "${tests[@]}" >/dev/null &&
    cmake --build --preset default --target velmora --parallel "$(nproc)" >&2)
}

# build_bench: builds the minimal window and the probe in build-bench/ (the bench preset: the
# same build type as build/velmora, so the programs are compiled alike).
build_bench() {
  (cd "$root" && cmake --preset bench >/dev/null && cmake --build --preset bench --target bench --parallel "$(nproc)" >&2)
}

# stop_pid PID: ends a process this script started, waits for it and takes it off the list.
stop_pid() {
  { kill "$1" && wait "$1"; } 2>/dev/null || true
  local kept=() pid
  for pid in "${started_pids[@]}"; do
    [ "$pid" = "$1" ] || kept+=("$pid")
  done
  started_pids=("${kept[@]}")
  return 0
}

stop_started() {
  local pid
  for pid in "${started_pids[@]}"; do
    { kill "$pid" && wait "$pid"; } 2>/dev/null || true
  done
  started_pids=()
  [ -n "$runtime_dir" ] && rm -rf "$runtime_dir"
  return 0
}
trap stop_started EXIT
trap 'exit 130' INT TERM

# start_xvfb: starts Xvfb on a display it picks itself and exports DISPLAY. Xvfb claims the first
# free display number and writes it to the pipe once it accepts connections, so two jobs at once
# never share a display.
start_xvfb() {
  # Qt wants a private runtime folder; an empty one per run keeps runs alike.
  runtime_dir=$(mktemp -d)
  export XDG_RUNTIME_DIR=$runtime_dir
  export QT_QPA_PLATFORM=xcb
  mkfifo "$runtime_dir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$runtime_dir/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  started_pids+=("$xvfb_pid")
  local n=
  read -r -t 20 n <"$runtime_dir/display" || true
  [[ "$n" =~ ^[0-9]+$ ]] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$n"
}

# cpu_ns PID: CPU time of all threads of PID so far, in nanoseconds (from schedstat).
cpu_ns() {
  local t total=0 ns
  for t in /proc/"$1"/task/*/schedstat; do
    read -r ns _ < "$t" 2>/dev/null || continue
    total=$((total + ns))
  done
  echo "$total"
}

# median: the median of the numbers on standard input, one a line.
median() {
  sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

machine_line() {
  echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(uname -sr)"
}
