#!/usr/bin/env bash
# Checks that includes between the core's folders run one way: a folder includes only itself
# and the folders listed before it in the README's map. The order is read from the map, so
# the README and the check cannot drift apart.
#   scripts/check-layering.sh           check; exit 1 and name each include that runs upward
#   scripts/check-layering.sh --graph   print the includes between folders, with file counts
#   scripts/check-layering.sh --objects BUILD
#                                        also check the built core's object files: no routine
#                                        declared low may be defined in a folder above its caller
set -euo pipefail
cd "$(dirname "$0")/.."

# The folder names of the map, bottom first: list items that start with `name/`.
mapfile -t order < <(sed -n '/^## Map/,/^## /p' README.md | sed -n 's/^[0-9]*\. `\([a-z_]*\)\/`.*/\1/p')
if [ "${#order[@]}" -lt 2 ]; then
    echo "check-layering: no map found in README.md (a '## Map' section listing \`folder/\`)" >&2
    exit 2
fi
declare -A rank
for i in "${!order[@]}"; do rank[${order[$i]}]=$i; done

# Every include of a mapped folder from a file of another mapped folder: "from to file".
edges() {
    local file folder target
    while IFS= read -r file; do
        folder=${file%%/*}
        # The platform layers beside the boundary wire the whole program: only the boundary
        # headers themselves take part.
        if [ "$folder" = platform ] && [[ "$file" == platform/*/* ]]; then continue; fi
        [ -n "${rank[$folder]+set}" ] || continue
        while IFS= read -r target; do
            [ "$target" = "$folder" ] && continue
            echo "$folder $target $file"
        done < <(sed -n 's/^#include "\([a-z_]*\)\/.*/\1/p' "$file" | sort -u)
    done < <(git ls-files '*.h' '*.cpp')
}

if [ "${1:-}" = --graph ]; then
    edges | awk '{print $1" -> "$2}' | sort | uniq -c | awk '{print $2" -> "$4" ("$1")"}'
    exit 0
fi

status=0
while read -r from to file; do
    if [ -z "${rank[$to]+set}" ]; then
        continue
    fi
    if [ "${rank[$to]}" -gt "${rank[$from]}" ]; then
        echo "check-layering: $file ($from/) includes $to/, which the map puts above it" >&2
        status=1
    fi
done < <(edges)
# The platform layers are reached only through the boundary headers.
if git grep -n '^#include "platform/\(sdl\|headless\|win32\|web\)/' -- "${order[@]/%//}" \
        ':!platform/*/*' >&2; then
    echo "check-layering: the core includes a platform layer instead of the boundary" >&2
    status=1
fi
# What the includes cannot show: a routine declared in a lower folder but defined above it.
if [ "${1:-}" = --objects ]; then
    objects="${2:?--objects needs the build directory}/CMakeFiles/plusrail_core.dir"
    listing=$(mktemp)
    trap 'rm -f "$listing"' EXIT
    for folder in "${order[@]}"; do
        for object in "$objects/$folder"/*.cpp.o; do
            [ -f "$object" ] || continue
            source="$folder/$(basename "${object%.o}")"
            [ -f "$source" ] || continue   # left behind by a file that moved
            nm --defined-only -g "$object" | awk -v r="${rank[$folder]}" -v f="$source" \
                'NF == 3 { print "D", $3, r, f }'
            nm -u "$object" | awk -v r="${rank[$folder]}" -v f="$source" '{ print "U", $2, r, f }'
        done
    done >"$listing"
    if ! awk '$1 == "D" { rank[$2] = $3; file[$2] = $4 }
              $1 == "U" { use[NR] = $0 }
              END {
                  bad = 0
                  for (n in use) {
                      split(use[n], u, " ")
                      if ((u[2] in rank) && rank[u[2]] > u[3]) {
                          print "check-layering: " u[4] " calls " u[2] ", defined above it in " \
                                file[u[2]] > "/dev/stderr"
                          bad = 1
                      }
                  }
                  exit bad
              }' "$listing"; then
        status=1
    fi
fi
[ "$status" -eq 0 ] && echo "check-layering: ${#order[@]} folders, every include runs downward"
exit "$status"
