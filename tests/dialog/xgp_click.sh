#!/usr/bin/env bash
# xgp_click.sh ACTION... -- acts as the user of the selector dialog on
# $DISPLAY: waits for the "NORVA Selector" window, then does each action in
# turn.  Positions are those of the dialog's items.
#
#   level:N  param:N  surface:N   click row N (from 0) of that list
#   ok  cancel                    press the button
#   focus                         give the window the keyboard
#   key:K1,K2,...                 press keys (xdotool key names)
#   type:TEXT                     type TEXT
#   snap:FILE                     save the window as a PNG (needs $XGP_SNAP,
#                                 the xgp_snap program)
#   wait:SECONDS                  pause
#   drag:X,Y,TO                   press at X,Y, move to X,TO, release
#   xkill                         break the dialog's X connection
#
# Exit status 0, or 1 with a message when the window does not appear or an
# action fails.
set -u

fail() { echo "xgp_click.sh: $*" >&2; exit 1; }

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^NORVA Selector$' 2>/dev/null |
         head -n1)
[ -n "$window" ] || fail "the dialog did not appear"
sleep 0.3   # first drawing

click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1 || fail "click at $1,$2"
  sleep 0.15
}

# Lists: left edge + 30, rows of 18 pixels below a 2-pixel border.
row() { click $(($1 + 30)) $(($2 + 2 + 18 * $3 + 9)); }

for action in "$@"; do
  arg=${action#*:}
  case "$action" in
    level:*) row 16 56 "$arg" ;;
    param:*) row 164 56 "$arg" ;;
    surface:*) row 164 200 "$arg" ;;
    ok) click 28 18 ;;
    cancel) click 88 18 ;;
    focus)
      xdotool mousemove --window "$window" 200 345 || fail "pointer"
      xdotool windowfocus "$window" 2>/dev/null
      sleep 0.15 ;;
    key:*) IFS=, read -r -a keys <<<"$arg"
           xdotool key "${keys[@]}" || fail "keys $arg"
           sleep 0.15 ;;
    type:*) xdotool type "$arg" || fail "typing $arg"; sleep 0.15 ;;
    snap:*) sleep 0.5
            "${XGP_SNAP:-xgp_snap}" "$arg" "$window" || fail "screenshot $arg" ;;
    wait:*) sleep "$arg" ;;
    drag:*) IFS=, read -r x y to <<<"$arg"
            xdotool mousemove --window "$window" "$x" "$y" mousedown 1 sleep 0.1 mousemove \
              --window "$window" "$x" "$to" sleep 0.1 mouseup 1 || fail "drag $arg"; sleep 0.15 ;;
    xkill) xkill -id "$window" >/dev/null || fail "xkill" ;;
    *) fail "unknown action $action" ;;
  esac
done
exit 0
