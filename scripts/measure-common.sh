# Shared by scripts/screenshots, scripts/measure-startup and scripts/measure-drag; sourced, not run.
# Installs what is missing, builds, and runs a private Xvfb that is stopped again on exit.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$root/build}
bench_build=${VELMORA_BENCH_BUILD_DIR:-$root/build-bench}
started_pids=()

# ensure_packages PACKAGE...: installs the Debian packages that are not installed yet.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# What building build/ needs is what scripts/setup installs: take its list, so the two never drift.
eval "$(sed -n '/^packages=(/,/)/p' "$root/scripts/setup")"
build_packages=("${packages[@]}")

# build_program: builds build/velmora the way scripts/setup does (incremental).
build_program() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target velmora --parallel "$(nproc)" >&2
}

# build_bench: builds the benchmarks, the minimal window and the probe in build-bench/, with the
# same build type as build/velmora so the two programs are compiled alike.
build_bench() {
  cmake -S "$root" -B "$bench_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=OFF \
        -DVELMORA_BENCH=ON >/dev/null
  cmake --build "$bench_build" --target bench --parallel "$(nproc)" >&2
}

stop_started() {
  local pid
  for pid in "${started_pids[@]}"; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  started_pids=()
  [ -n "${runtime_dir:-}" ] && rm -rf "$runtime_dir"
  return 0
}
trap stop_started EXIT
trap 'exit 130' INT TERM

# start_xvfb: starts Xvfb on the first free display from :90 and exports DISPLAY.
start_xvfb() {
  local n
  for n in $(seq 90 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  started_pids+=($!)
  local i
  for i in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start on :$n" >&2; exit 1; }
  export DISPLAY=":$n"
  xvfb_pid=${started_pids[-1]}
  # Qt wants a private runtime folder; an empty one per run keeps runs alike.
  runtime_dir=$(mktemp -d)
  export XDG_RUNTIME_DIR=$runtime_dir
  export QT_QPA_PLATFORM=xcb
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
