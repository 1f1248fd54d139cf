#!/bin/sh
# SPDX-License-Identifier: MIT
# wine_retry_test.sh RETRY: RETRY (cmake/wine_retry.sh) runs a program once more when it passed and
# then lost Wine's loader at exit, and in no other case. Prints what went wrong and fails, if so.
retry=$1
runs=$(mktemp)
trap 'rm -f "$runs"' EXIT
# expect VERDICT CRASHES STATUS RUNS: a program that prints VERDICT and, in its first CRASHES
# runs, ends as the loader's failure does, must end with STATUS after RUNS runs.
expect() {
  : >"$runs"
  sh "$retry" sh -c 'echo run >>"$1"; echo "[  $2  ] case"
    if [ "$(wc -l <"$1")" -le "$3" ]; then
      echo "Inconsistency detected by ld.so: dl-fini.c: 87: _dl_fini: Assertion failed!" >&2; exit 127
    fi
    [ "$2" = PASSED ]' fake "$runs" "$1" "$2" >/dev/null 2>&1
  status=$?
  if [ "$status" -ne "$3" ] || [ "$(wc -l <"$runs")" -ne "$4" ]; then
    echo "$1 with $2 loader failures: status $status after $(wc -l <"$runs") runs, not $3 after $4" >&2
    exit 1
  fi
}
expect PASSED 0 0 1
expect PASSED 1 0 2
expect PASSED 2 127 2
expect FAILED 1 127 1
expect FAILED 0 1 1
