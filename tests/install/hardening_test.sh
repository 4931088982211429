#!/usr/bin/env bash
# Every ELF program and shared library in the given folders is hardened:
# relocations read-only after start (a GNU_RELRO segment and BIND_NOW),
# programs position-independent (type DYN, flag PIE), the stack protector in
# use, and no RUNPATH or RPATH element that is empty or relative, since the
# loader reads either as the current folder.  With --fortify every file also
# calls at least one of the checked functions (__*_chk) of _FORTIFY_SOURCE.
# Prints one line per fault.
#   hardening_test.sh [--fortify] FOLDER...
set -uo pipefail
fortify=0
[ "${1-}" = --fortify ] && { fortify=1; shift; }
faults=0 files=0
fault() { echo "hardening_test: $1: $2"; faults=$((faults + 1)); }

check() {
    local f=$1 dynamic segments imports path element
    dynamic=$(readelf -dW "$f") segments=$(readelf -lW "$f") imports=$(nm -D --undefined-only "$f")
    grep -q GNU_RELRO <<<"$segments" || fault "$f" "no GNU_RELRO segment"
    grep -qE '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$dynamic" || fault "$f" "not linked with -z now"
    if grep -q INTERP <<<"$segments"; then
        grep -q 'Type: *DYN' < <(readelf -hW "$f") && grep -qE '\(FLAGS_1\).*PIE' <<<"$dynamic" ||
            fault "$f" "program not position-independent"
    fi
    while IFS= read -r path; do
        while IFS= read -r element; do
            [ "${element:0:1}" = / ] || [ "${element:0:7}" = '$ORIGIN' ] ||
                fault "$f" "search path [$path] has the element '$element'"
        done < <(tr : '\n' <<<"$path")
    done < <(sed -nE 's/.*\((RUNPATH|RPATH)\).*\[(.*)\]$/\2/p' <<<"$dynamic")
    grep -qw __stack_chk_fail <<<"$imports" || fault "$f" "no stack protector"
    [ $fortify = 0 ] || grep -qE ' __[a-z0-9_]+_chk(@|$)' <<<"$imports" ||
        fault "$f" "no checked function of _FORTIFY_SOURCE"
}

for folder in "$@"; do
    for f in "$folder"/*; do
        [ -f "$f" ] && [ ! -L "$f" ] && [ "$(head -c4 "$f" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
        files=$((files + 1))
        check "$f"
    done
done
[ $files -gt 0 ] || fault "$*" "no program or library found"
[ $faults = 0 ] && echo "hardening_test: $files files ok"
[ $faults = 0 ]
