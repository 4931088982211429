#!/usr/bin/env bash
# xgp_xvfb_test.sh DRIVER ARTIFACT-DIR [SNAP]
# The selector dialog as a user meets it: xgp_driver under Xvfb, worked by
# clicks and keys, and the configuration it prints compared line by line.
# With SNAP (the xgp_snap program) the dialog is saved as
# ARTIFACT-DIR/selector.png.
set -u
here=$(cd "$(dirname "$0")" && pwd)
driver=$1 artifacts=$2
export XGP_SNAP=${3:-}
mkdir -p "$artifacts"
failures=0

# scenario NAME EXPECTED-OUTPUT ACTION...
scenario() {
  local name=$1 expected=$2
  shift 2
  local out
  out=$("$here/run_under_xvfb.sh" -t 30 -c "$here/xgp_click.sh" "$@" -- "$driver")
  local status=$?
  if [ "$status" -ne 0 ] || [ "$out" != "$expected" ]; then
    echo "FAILED: $name (status $status)"
    diff <(echo "$expected") <(echo "$out")
    failures=$((failures + 1))
  else
    echo "passed: $name"
  fi
}

snap=()
[ -n "$XGP_SNAP" ] && snap=("snap:$artifacts/selector.png")

scenario "rows of all three lists, then OK" "xmain: 0
levels: 0 500
params: 130 131 132 165 166
dates: 1/1/60 12/31/99 days 21916 36525
prompt_user: 0" \
  level:0 level:4 param:1 param:2 surface:2 "${snap[@]}" ok

scenario "dates typed, prompting chosen, Surface taken back, then OK" "xmain: 0
levels: 300
params:
dates: 2/29/80 3/1/80 days 29280 29281
prompt_user: 1" \
  focus key:Tab,Tab,Tab,Tab type:2/29/80 key:Tab type:3/1/80 key:Tab,Tab,space \
  level:0 surface:3 level:0 level:6 ok

scenario "a press dragged out of a list, up or down, toggles its row alone" "xmain: 0
levels: 0 1000 100
params: 129 131 132 135 165 166
dates: 1/1/60 12/31/99 days 21916 36525
prompt_user: 0" \
  level:10 level:0 drag:46,85,45 param:0 param:4 drag:194,85,165 surface:2 ok

scenario "Cancel keeps everything but the prompting choice" "xmain: 0
levels:
params:
dates: 0/0/0 0/0/0 days 0 0
prompt_user: 0" \
  level:4 param:0 cancel

if [ -n "$XGP_SNAP" ] && ! [ -s "$artifacts/selector.png" ]; then
  echo "FAILED: no screenshot"
  failures=$((failures + 1))
fi
exit $((failures > 0))
