#!/bin/sh
# Each manual page in DIR renders without a warning and names VERSION.
#   man_test.sh DIR VERSION
pages=$(ls "$1"/*.1) || exit 1
status=0
for page in $pages; do
  warnings=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  MANWIDTH=80 man -E UTF-8 -l "$page" 2>/dev/null | grep -q "gridpick $2" || warnings="$warnings no version $2"
  [ -z "$warnings" ] || { echo "$page: $warnings"; status=1; }
done
exit $status
