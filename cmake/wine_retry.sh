#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a program under Wine and passes on its output, as it comes, and its exit status:
#   wine_retry.sh WINE PROGRAM [ARGUMENT...]
#
# The one retry: once in about a thousand runs, glibc's dynamic loader stops the Wine process while
# it exits, after the Windows program itself has finished ("Inconsistency detected by ld.so:
# dl-fini.c: 87: _dl_fini: Assertion ... failed!", exit status 127). When the program had printed
# that its tests passed ("[  PASSED  ]", no "[  FAILED  ]") and then ended that way, and only then,
# it runs once more and that run counts. Any other failure stands as it is.
out=$(mktemp) && err=$(mktemp) && status_file=$(mktemp) || exit 1
trap 'rm -f "$out" "$err" "$status_file"' EXIT
run() {
  { "$@" 2>"$err"; echo $? >"$status_file"; } | tee "$out"
  status=$(cat "$status_file")
}
run "$@"
if [ "$status" -ne 0 ] && grep -q 'Inconsistency detected by ld\.so: dl-fini\.c' "$err" &&
  grep -q '^\[  PASSED  \]' "$out" && ! grep -q '^\[  FAILED  \]' "$out"; then
  echo "wine_retry.sh: Wine's loader failed while exiting after a passing run; running it once more:" >&2
  cat "$err" >&2
  run "$@"
fi
cat "$err" >&2
exit "$status"
