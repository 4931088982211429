#!/usr/bin/env bash
# gridpick_xvfb_test.sh GRIDPICK OVDUMP ARCHIVE
# gridpick as a user meets it by default: the selector dialog on a private
# Xvfb server, rows and dates chosen by clicks and keys, OK, and then the
# extraction.  The files written and the report are checked.
set -u
here=$(cd "$(dirname "$0")" && pwd)
gridpick=$1 ovdump=$2 archive=$3
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$archive" "$work/sample.grb"
cd "$work"

# 500 mb wind and temperature of 1 January 1979, both analysis times.
out=$("$here/run_under_xvfb.sh" -t 60 -c "$here/xgp_click.sh" \
        focus key:Tab,Tab,Tab,Tab type:1/1/79 key:Tab type:1/1/79 \
        level:4 param:1 param:2 ok -- "$gridpick" sample.grb 2>"$work/err")
status=$?
[ "$status" -eq 0 ] || fail "gridpick ended with status $status: $(cat "$work/err")"
report=$(printf '%s\n' "$out" | tr '\b' '\n' | tail -n 1)
[ "$report" = "6 data set(s) written." ] || fail "report '$report'"
[ "$(sed -n 1p "$work/err")" = "Searching tape..." ] || fail "stderr: $(cat "$work/err")"

expected="NRV.79JAN1.00z.500mb.temp
NRV.79JAN1.00z.500mb.wind
NRV.79JAN1.12z.500mb.temp
NRV.79JAN1.12z.500mb.wind"
written=$(ls NRV.* 2>/dev/null)
[ "$written" = "$expected" ] || fail "files written:
$written"

# Each file holds one data set of the field chosen: a scalar temperature, a
# vector wind (ov_print_hdr ends the type line with a tab).
for f in $written; do
  case "$f" in
    *.wind) want=$'type: OV_VECTOR\t' ;;
    *) want=$'type: OV_CONTOUR\t' ;;
  esac
  "$ovdump" "$f" >"$work/dump" 2>&1 || fail "ovdump $f"
  [ "$(grep -c '^type: ' "$work/dump")" -eq 1 ] || fail "$f holds more than one data set"
  grep -qx "$want" "$work/dump" || fail "$f is not of $want"
  grep -qx "level: 500mb" "$work/dump" || fail "$f is not at 500 mb"
done

# The X connection broken while the dialog waits: Xlib's message, status 1, no
# search and no sanitizer report.
out=$("$here/run_under_xvfb.sh" -t 60 -c "$here/xgp_click.sh" xkill -- "$gridpick" sample.grb \
        2>"$work/err")
status=$? err=$(tr -d '\r' <"$work/err")
[[ $status$out$err =~ ^"1X connection to :"[0-9]+" broken (explicit kill or server shutdown)."$ ]] ||
  fail "connection broken: status $status, stdout '$out', stderr: $err"

if [ "$failures" -eq 0 ]; then
  echo "passed: gridpick through the selector dialog"
fi
exit $((failures > 0))
