#!/bin/sh
# SPDX-License-Identifier: MIT
# wine_retry_test.sh RETRY: RETRY (cmake/wine_retry.sh) runs a program once more when it passed and
# then lost Wine's loader at exit, or lost Wine's server before it printed anything, and in no
# other case. Prints what went wrong and fails, if so.
retry=$1
runs=$(mktemp)
trap 'rm -f "$runs"' EXIT
# expect VERDICT CRASHES STATUS RUNS [HOW]: a program that prints VERDICT and, in its first
# CRASHES runs, fails as HOW says, must end with STATUS after RUNS runs. HOW: loader (the loader's
# failure at exit, after the verdict), server (the server lost before anything is printed) or late
# (the server lost after the verdict).
expect() {
  : >"$runs"
  sh "$retry" sh -c 'echo run >>"$1"; crash=$([ "$(wc -l <"$1")" -le "$3" ] && echo "$4")
    if [ "$crash" = server ]; then echo "wine client error:0: recvmsg: Connection reset by peer" >&2; exit 1; fi
    echo "[  $2  ] case"
    if [ "$crash" = late ]; then echo "wine client error:0: recvmsg: Connection reset by peer" >&2; exit 1; fi
    if [ "$crash" = loader ]; then
      echo "Inconsistency detected by ld.so: dl-fini.c: 87: _dl_fini: Assertion failed!" >&2; exit 127
    fi
    [ "$2" = PASSED ]' fake "$runs" "$1" "$2" "${5:-loader}" >/dev/null 2>&1
  status=$?
  if [ "$status" -ne "$3" ] || [ "$(wc -l <"$runs")" -ne "$4" ]; then
    echo "$1 with $2 ${5:-loader} failures: status $status after $(wc -l <"$runs") runs, not $3 after $4" >&2
    exit 1
  fi
}
expect PASSED 0 0 1
expect PASSED 1 0 2
expect PASSED 2 127 2
expect FAILED 1 127 1
expect FAILED 0 1 1
expect PASSED 1 0 2 server
expect PASSED 2 1 2 server
expect PASSED 1 1 1 late
