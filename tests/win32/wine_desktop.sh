#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A private Windows desktop for the tests of Velmora.exe: an Xvfb of its own and a Wine prefix of
# the build's own, so that nothing in the home folder or on the user's display is touched.
#   wine_desktop.sh DIR start                 make the prefix if there is none; start Xvfb and Wine
#   wine_desktop.sh DIR run PROGRAM [ARG...]  run a Windows program on that desktop
#   wine_desktop.sh DIR stop                  end Wine and Xvfb
set -euo pipefail
dir=$1
command=$2
shift 2
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
retry=$(dirname "${BASH_SOURCE[0]}")/../../cmake/wine_retry.sh
export WINEPREFIX=$dir/prefix WINEDEBUG=-all
# No Mono or Gecko installers, and no menu entries or file types made on this machine by an
# installed shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

set_up_prefix() {
  "$wine" wineboot --init >/dev/null 2>&1
  # Wine's own fonts for its window frames and boxes, and Comic Neue where the form asks for
  # Comic Sans MS, as a Windows PC without that font would substitute one.
  cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'Comic Sans MS' /d 'Comic Neue' /f >/dev/null 2>&1
  # There is no window manager on this display: Wine draws each window's title bar and frame
  # itself and does not wait for one (two seconds each time a window closes).
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  "$wineserver" -w
}

case $command in
start)
  "$0" "$dir" stop
  mkdir -p "$dir"
  rm -f "$dir/display"
  # Xvfb picks a free display and writes its number once it takes connections.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
  echo $! >"$dir/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    sleep 0.1
  done
  [ -s "$dir/display" ] || { echo "Xvfb did not start: $(cat "$dir/xvfb.log")" >&2; exit 1; }
  export DISPLAY=:$(head -n1 "$dir/display")
  [ -f "$WINEPREFIX/system.reg" ] || set_up_prefix
  # Wine's server and its desktop process stay up between the tests, on this display, and end
  # by themselves a minute after the last program.
  "$wineserver" -p60 </dev/null >/dev/null 2>&1
  "$wine" wineboot </dev/null >/dev/null 2>&1
  ;;
run)
  [ -s "$dir/display" ] || { echo "the Wine desktop in $dir is not started" >&2; exit 1; }
  export DISPLAY=:$(head -n1 "$dir/display")
  # The program asks for pointer input from the X server, as a mouse gives it, with a line
  # "xdotool ARGUMENTS" on its output; it is run here and an empty line on the program's input
  # says it is done. (Pointer moves made with SendInput inside Wine come back a second time from
  # the X server, late, to the program under the pointer.) Every other line is passed on.
  coproc program { sh "$retry" "$wine" "$@"; }
  # Bash forgets the coprocess's descriptors once it ends; these copies last until the loop is done.
  pid=$program_PID
  exec {from}<&"${program[0]}" {to}>&"${program[1]}"
  while IFS= read -r line <&"$from"; do
    line=${line%$'\r'}
    if [[ $line == "xdotool "* ]]; then
      read -ra words <<<"${line#xdotool }"
      xdotool "${words[@]}"
      echo >&"$to"
    else
      printf '%s\n' "$line"
    fi
  done
  wait "$pid"
  ;;
stop)
  if [ -d "$WINEPREFIX" ]; then "$wineserver" -k >/dev/null 2>&1 || true; fi
  if [ -f "$dir/xvfb.pid" ]; then
    kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -f "$dir/xvfb.pid" "$dir/display"
  fi
  ;;
*)
  echo "usage: wine_desktop.sh DIR start|run|stop" >&2
  exit 2
  ;;
esac
