#!/usr/bin/env bash
# The folders of the source tree are layers: a folder includes only its own
# headers and those of the folders the table "The source tree" in README.md
# lets it use.  Fails on every include of another header, on a folder of the
# tree the table leaves out and on a folder of the table that is not there.
#   layers_test.sh SOURCE_DIR
set -uo pipefail
top=${1:?usage: layers_test.sh SOURCE_DIR}
cd "$top" || exit 2

declare -A uses home
# Rows of the table: | `folder` | what it is | a, b, c |
while IFS='|' read -r _ folder _ used _; do
    folder=$(tr -d '` ' <<<"$folder")
    uses[$folder]=" $(tr -d '`' <<<"$used" | tr ',' ' ' | tr -s ' ') "
done < <(sed -n '/^## The source tree/,/^## /p' README.md | grep '^| `')

status=0
say() { echo "$*"; status=1; }
[ ${#uses[@]} -gt 0 ] || say "README.md: no table of the source tree"
for dir in src/*/ python/; do
    dir=${dir%/}
    [ -n "${uses[$dir]+x}" ] || say "$dir: not in the table of README.md"
done
for folder in "${!uses[@]}"; do
    [ -d "$folder" ] || say "$folder: in the table of README.md but not in the tree"
    while read -r h; do home[$(basename "$h")]=$folder; done \
        < <(find "$folder" \( -name '*.h' -o -name '*.inc' \) 2>/dev/null)
done
for folder in "${!uses[@]}"; do
    [ -d "$folder" ] || continue
    while IFS=: read -r file line text; do
        header=$(sed -E 's/.*[<"](gridpick\/)?([^">]*)[">].*/\2/' <<<"$text")
        owner=${home[$(basename "$header")]:-}
        [ -z "$owner" ] || [ "$owner" = "$folder" ] && continue
        short=${owner#src/}
        [[ ${uses[$folder]} == *" $short "* ]] ||
            say "$file:$line: $folder includes $header of $owner"
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$folder" \
                 --include='*.h' --include='*.cpp' --include='*.c' --include='*.inc')
done
exit $status
