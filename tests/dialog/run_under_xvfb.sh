#!/usr/bin/env bash
# run_under_xvfb.sh [-t SECONDS] [-c CLICKER [CLICKER-ARGS...] --] PROGRAM [ARGS...]
#
# Runs PROGRAM on a private Xvfb server (the first free display number) and,
# with -c, runs CLICKER beside it on the same display to act as the user.
# PROGRAM keeps this script's standard input, output and error; CLICKER's
# output goes to standard error.  The server is stopped at the end.
#
# Exit status: PROGRAM's status; 124 when PROGRAM was still running after
# SECONDS (default 60) and was stopped; 125 when the server did not start;
# 126 when CLICKER failed (PROGRAM is then stopped).
set -u

seconds=60
clicker=()
while [ $# -gt 0 ]; do
  case "$1" in
    -t) seconds=$2; shift 2 ;;
    -c) shift
        while [ $# -gt 0 ] && [ "$1" != "--" ]; do clicker+=("$1"); shift; done
        [ $# -gt 0 ] && shift ;;
    *) break ;;
  esac
done
if [ $# -eq 0 ]; then
  echo "usage: run_under_xvfb.sh [-t SECONDS] [-c CLICKER [ARGS...] --] PROGRAM [ARGS...]" >&2
  exit 2
fi

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb writes the display number it took to fd 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
if ! [ -s "$work/display" ]; then
  echo "run_under_xvfb.sh: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  exit 125
fi
export DISPLAY=":$(head -n1 "$work/display")"

exec 4<&0
timeout "$seconds" "$@" <&4 &
program_pid=$!

clicker_status=0
if [ ${#clicker[@]} -gt 0 ]; then
  "${clicker[@]}" >&2
  clicker_status=$?
  [ "$clicker_status" -ne 0 ] && kill "$program_pid" 2>/dev/null
fi
wait "$program_pid"
status=$?
program_pid=
if [ "$clicker_status" -ne 0 ]; then
  echo "run_under_xvfb.sh: clicker failed with status $clicker_status" >&2
  status=126
fi
exit "$status"
