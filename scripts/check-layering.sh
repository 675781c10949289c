#!/usr/bin/env bash
# Checks that includes between the folders run one way: a folder of code includes only itself
# and the folders listed before it in layers.txt, so nothing includes a folder of the top floor
# but the top folders after it. The includes are the ones the compiler reads, not a pattern
# over the text: every C/C++ file on disk (added to git or not) is run through the preprocessor,
# which resolves "../x/y.h", <x/y.h> and "x/y.h" alike; the #include lines are also resolved
# the compiler's way from the text, so that includes only another platform's build compiles
# (inside #ifdef _WIN32 or __EMSCRIPTEN__) are checked too. A folder of code that layers.txt
# does not list, a source file at the top of the tree, and a README map whose folders are not
# those of layers.txt in its order fail as well.
#   scripts/check-layering.sh           check; exit 1 and name each include that runs upward
#   scripts/check-layering.sh --graph   print the includes between folders, with file counts
#   scripts/check-layering.sh --objects BUILD
#                                        also check the rules' and the core's object files in
#                                        BUILD: no routine declared low may be defined in a
#                                        folder above its caller
set -euo pipefail

die() {
  echo "check-layering: $*" >&2
  exit 2
}

mode="${1:-check}"
case "$mode" in
  check | --graph) ;;
  --objects)
    build="${2:-}"
    [ -n "$build" ] || die "--objects needs the build directory"
    [ -d "$build" ] || die "$build is not a build directory"
    build="$(cd "$build" && pwd -P)"
    ;;
  *) die "unknown option $mode (see the comment at the top of $0)" ;;
esac
cd "$(dirname "$0")/.."
root="$(pwd -P)"

# The folders, bottom first, and the kind of each.
[ -f layers.txt ] || die "no layers.txt at the top of the tree: nothing says which folder is where"
order=()
declare -A rank kind
while read -r folder folder_kind rest; do
  case "$folder" in '' | '#'*) continue ;; esac
  case "$folder_kind" in
    rules | core | hosts | top | aside) ;;
    *) die "layers.txt: $folder is of the kind '$folder_kind', not one of" \
      "rules, core, hosts, top and aside" ;;
  esac
  [ -z "$rest" ] || die "layers.txt: more than a folder and its kind on the line of $folder"
  [ -z "${rank[$folder]+set}" ] || die "layers.txt lists $folder twice"
  rank[$folder]=${#order[@]}
  kind[$folder]=$folder_kind
  order+=("$folder")
done <layers.txt
[ "${#order[@]}" -gt 0 ] || die "layers.txt lists no folder"

# The object files are looked for first: a build without them is an error before any work.
if [ "$mode" = --objects ]; then
  objects=()
  for library in plusrail_rules plusrail_core; do
    mapfile -t found < <(find "$build/CMakeFiles/$library.dir" -name '*.o' 2>/dev/null | sort)
    [ "${#found[@]}" -gt 0 ] ||
      die "no object files of $library in $build/CMakeFiles/$library.dir; build it first"
    objects+=("${found[@]}")
  done
fi

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Every C/C++ file on disk but the build trees, the browser test's node packages and its suite.
mapfile -t files < <(find . \( -path './build*' -o -name .git -o -name node_modules \
  -o -path ./tests/web \) -prune -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) \
  -print | sed 's|^\./||' | LC_ALL=C sort)
[ "${#files[@]}" -gt 0 ] || die "no C/C++ file found under $root: nothing to check"

# The includes as the compiler reads them: -MM lists, for each file, every file it reads (its
# includes and theirs), resolved, beginning with the file itself. -MG lets it go past headers of
# other platforms and libraries that are missing here; the system's own headers are left out
# (-nostdinc): they include nothing of the tree, and the run is three times faster without them.
# A batch of files a run, each run into a file of its own, so that parallel runs cannot mix
# their lines; a file the preprocessor stops on (a header named by a macro of a missing library)
# still lists what it read before.
command -v g++ >/dev/null || die "g++ is missing: the preprocessor reads the includes"
mkdir "$tmp/compiler"
printf '%s\0' "${files[@]}" | ROOT="$root" OUT="$tmp/compiler" xargs -0 -n 32 -P "$(nproc)" \
  sh -c 'g++ -std=c++20 -nostdinc -MM -MG -I"$ROOT" -x c++ "$@" 2>/dev/null \
    >"$(mktemp -p "$OUT")" || true' sh
cat "$tmp/compiler"/* | sed -e ':a' -e '/\\$/{N;s/\\\n//;ba}' |
  awk '{ for (i = 3; i <= NF; i++) print "read\t" $2 "\t" $i }' |
  while IFS=$'\t' read -r how file target; do
    # Missing headers are listed as they were written; only files of the tree count.
    [ ! -f "$target" ] || printf '%s\t%s\t%s\n' "$how" "$file" "$target"
  done >"$tmp/includes"

# The includes as written, resolved as the compiler would: a quoted name beside the file first,
# then from the top of the tree; a name in angle brackets from the top of the tree only.
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">]'
while IFS= read -r -d '' file && IFS= read -r line; do
  [[ "$line" =~ $include ]] || continue
  name="${BASH_REMATCH[2]}"
  beside="${file%/*}/$name"
  [[ "$file" == */* ]] || beside="$name"
  if [ "${BASH_REMATCH[1]}" = '"' ] && [ -f "$beside" ]; then
    printf 'include\t%s\t%s\n' "$file" "$beside"
  elif [ -f "$name" ]; then
    printf 'include\t%s\t%s\n' "$file" "$name"
  fi
done < <(printf '%s\0' "${files[@]}" |
  xargs -0 grep -HZE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' || true) \
  >>"$tmp/includes"

# Each included file as a path from the top of the tree (links followed, "x/../" taken out).
# What lies outside the tree is not ours.
cut -f 3 "$tmp/includes" | tr '\n' '\0' | xargs -0 -r realpath -m --relative-to="$root" -- \
  >"$tmp/resolved"
paste <(cut -f 1,2 "$tmp/includes") "$tmp/resolved" | grep -v $'\t\\.\\./' >"$tmp/edges" || true

# The includes between folders, as "file, its folder, included file, its folder" ("/" for a file
# at the top of the tree). A file the compiler reads only through another include of the same
# file is left to that include's own check, so that one include climbing out is named once, not
# with everything it reads in turn.
awk -F '\t' -v order="${order[*]}" '
    function folder(path) { return index(path, "/") ? substr(path, 1, index(path, "/") - 1) : "/" }
    function through(file, target,   i, other) {
        for (i = 1; i <= count[file]; i++) {
            other = reads[file, i]
            if (other != target && (file, other) in written && (other, target) in read)
                return 1
        }
        return 0
    }
    BEGIN { n = split(order, folders, " "); for (i = 1; i <= n; i++) listed[folders[i]] = 1 }
    $1 == "include" { written[$2, $3] = 1 }
    !(($2, $3) in read) { read[$2, $3] = 1; reads[$2, ++count[$2]] = $3 }
    END {
        for (file in count) {
            from = folder(file)
            if (!(from in listed)) continue
            for (i = 1; i <= count[file]; i++) {
                target = reads[file, i]
                to = folder(target)
                if (to == from || to ~ /^(build|\.git$|node_modules$)/) continue
                if (!((file, target) in written) && through(file, target)) continue
                print file "\t" from "\t" target "\t" to
            }
        }
    }' "$tmp/edges" | LC_ALL=C sort >"$tmp/between"

if [ "$mode" = --graph ]; then
  # For each pair of folders, the number of files of the first that include the second.
  cut -f 1,2,4 "$tmp/between" | LC_ALL=C sort -u | cut -f 2,3 | LC_ALL=C sort | uniq -c |
    while read -r count from to; do
      printf '%s %s %s -> %s (%s)\n' "${rank[$from]}" "${rank[$to]:-99}" "$from" "$to" "$count"
    done | sort -k 1,1n -k 2,2n | cut -d ' ' -f 3-
  exit 0
fi

status=0
fail() {
  echo "check-layering: $*" >&2
  status=1
}

# Where each file belongs; a folder of code must be listed, and not as one set aside.
declare -A reported
for file in "${files[@]}"; do
  folder="${file%%/*}"
  if [ "$folder" = "$file" ]; then
    fail "$file is a source file at the top of the tree, in no folder of layers.txt"
  elif [ -z "${rank[$folder]+set}" ]; then
    fail "$file: its folder $folder/ holds C/C++ files but is not in layers.txt"
  elif [ "${kind[$folder]}" = aside ] && [ -z "${reported[$folder]+set}" ]; then
    fail "$file: $folder/ is set aside in layers.txt for what is not code, yet holds C/C++ files"
    reported[$folder]=1
  fi
done

while IFS=$'\t' read -r file from target to; do
  if [ "$to" = / ]; then
    fail "$file includes $target, which lies at the top of the tree, in no folder"
  elif [ -z "${rank[$to]+set}" ]; then
    fail "$file includes $target, in $to/, which layers.txt does not list"
  elif [ "${rank[$to]}" -gt "${rank[$from]}" ]; then
    if [ "${kind[$to]}" = top ]; then
      fail "$file includes $target: $from/ may not include $to/, a folder of the top floor" \
        "listed after it"
    else
      fail "$file includes $target: $from/ may not include $to/, which layers.txt puts above it"
    fi
  fi
done <"$tmp/between"

# The README's map lists the same folders in the same order.
mapfile -t mapped < <(sed -n '/^## Map/,/^## /p' README.md 2>/dev/null |
  sed -n 's/^[0-9][0-9]*\. `\([^`/]*\)\/`.*/\1/p')
if [ "${mapped[*]}" != "${order[*]}" ]; then
  fail "README.md's map (the numbered \`folder/\` items under '## Map') lists" \
    "'${mapped[*]}', but layers.txt lists '${order[*]}'"
fi

# What the includes cannot show: a routine declared in a lower folder but defined above it.
# Object files of sources that are gone are left out; they were left behind by a move.
if [ "$mode" = --objects ]; then
  for object in "${objects[@]}"; do
    source="${object#"$build"/CMakeFiles/*.dir/}"
    source="${source%.o}"
    [ -f "$source" ] && [ -n "${rank[${source%%/*}]+set}" ] || continue
    printf '%s\t%s\n' "$object" "$source"
  done >"$tmp/objects"
  [ -s "$tmp/objects" ] || die "no object file in $build matches a source of the tree"
  # nm -A puts "object:" before each line; made into object, type, symbol.
  cut -f 1 "$tmp/objects" | tr '\n' '\0' |
    xargs -0 sh -c 'nm -A -g --defined-only "$@"; nm -A -u "$@"' nm |
    sed -E 's/:[0-9a-f]* +([A-Za-z]) /\t\1\t/' >"$tmp/symbols"
  # Weak definitions (inline routines, templates) are made again by every object that needs
  # them, so only the strong ones tell where a routine is.
  if ! awk -F '\t' -v order="${order[*]}" '
      BEGIN { n = split(order, folders, " "); for (i = 1; i <= n; i++) place[folders[i]] = i }
      NR == FNR {
          source[$1] = $2
          split($2, path, "/")
          at[$1] = place[path[1]]
          next
      }
      $2 ~ /^[TDBRG]$/ { where[$3] = $1 }
      $2 == "U" { use[$1 "\t" $3] = 1 }
      END {
          bad = 0
          for (key in use) {
              split(key, k, "\t")
              if ((k[2] in where) && at[where[k[2]]] > at[k[1]]) {
                  print "check-layering: " source[k[1]] " calls " k[2] ", defined above it in " \
                        source[where[k[2]]] > "/dev/stderr"
                  bad = 1
              }
          }
          exit bad
      }' "$tmp/objects" "$tmp/symbols"; then
    status=1
  fi
fi

if [ "$status" -eq 0 ]; then
  echo "check-layering: ${#files[@]} files in ${#order[@]} folders, every include runs downward"
fi
exit "$status"
