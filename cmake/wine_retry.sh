#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a program under Wine and passes on its output, as it comes, and its exit status:
#   wine_retry.sh WINE PROGRAM [ARGUMENT...]
#
# One retry, for either of two failures of Wine's own, and that run counts; any other failure stands
# as it is:
# - once in about a thousand runs, glibc's dynamic loader stops the Wine process while it exits,
#   after the Windows program itself has finished ("Inconsistency detected by ld.so: dl-fini.c:
#   87: _dl_fini: Assertion ... failed!", exit status 127): retried only when the program had
#   printed that its tests passed ("[  PASSED  ]", no "[  FAILED  ]");
# - rarely, Wine's server drops the connection as the program starts ("wine client error:0:
#   recvmsg: Connection reset by peer"): retried only when the program printed nothing at all,
#   so that it never ran.
out=$(mktemp) && err=$(mktemp) || exit 1
trap 'rm -f "$out" "$err"' EXIT
# The output goes to a file that is shown as it grows, until the program has ended: Wine's server
# and services, started by the program, keep a pipe open for seconds after it ends, not a file.
exec 3<&0 # the program's input, which a program started in the background would not get
run() {
  "$@" <&3 3<&- >"$out" 2>"$err" &
  pid=$!
  tail -s 0.02 -n +1 -f --pid="$pid" "$out"
  wait "$pid"
  status=$?
}
run "$@"
if [ "$status" -ne 0 ] && grep -q 'Inconsistency detected by ld\.so: dl-fini\.c' "$err" &&
  grep -q '^\[  PASSED  \]' "$out" && ! grep -q '^\[  FAILED  \]' "$out"; then
  echo "wine_retry.sh: Wine's loader failed while exiting after a passing run; running it once more:" >&2
  cat "$err" >&2
  run "$@"
elif [ "$status" -ne 0 ] && [ ! -s "$out" ] && grep -q '^wine client error:' "$err"; then
  echo "wine_retry.sh: Wine's server went away before the program began; running it once more:" >&2
  cat "$err" >&2
  run "$@"
fi
cat "$err" >&2
exit "$status"
