#!/usr/bin/env bash
# The layering check cannot be fooled. On a scratch copy of the source tree (the files git knows
# and the untracked ones, no build folders) it must pass; then each form an upward include can
# take is put into the copy alone: "../x/y.h" and <x/y.h> in existing files, "x/y.h" in a file
# never added to git, includes that only the Windows or browser build compiles, a top folder's
# header from the core, a folder of code missing from layers.txt, a source file at the top, and
# the README's map out of order. Each time the check must fail and name the file at fault. It
# must also refuse a tree with no source and, in --objects mode, a build without object files.
#   tests/layering-test.sh BUILD_OR_SOURCE
set -euo pipefail
given="$(cd "${1:?usage: layering-test.sh BUILD_OR_SOURCE}" && pwd)"

fail() {
  echo "layering-test: $*" >&2
  exit 1
}

if [ -f "$given/layers.txt" ]; then
  source="$given"
elif [ -f "$given/CMakeCache.txt" ]; then
  source="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$given/CMakeCache.txt")"
else
  fail "$given is neither the source tree nor a build of it"
fi

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
tree="$tmp/tree"
mkdir "$tree"

# The copy: what git knows of the tree and what it has not been told of yet, as it is on disk.
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$source" ls-files -z --cached --others --exclude-standard
else
  (cd "$source" && find . \( -path './build*' -o -name .git -o -name node_modules \) -prune \
    -o -type f -print0)
fi | while IFS= read -r -d '' file; do
  file="${file#./}"
  [[ "$file" != build* ]] && [ -f "$source/$file" ] && printf '%s\0' "$file"
done | tar -C "$source" --null -T - -cf - | tar -C "$tree" -xf -
# Everything in the copy is added to git, so that a file never added is one git does not list.
git -C "$tree" init -q
git -C "$tree" add -A

for file in scenes/title.h tests/support/fresh.h; do
  [ -f "$tree/$file" ] || fail "the copy has no $file to include"
done
first() {  # FOLDER: the first of the folder's sources
  local found
  found="$(cd "$tree" && find "$1" -maxdepth 1 -name '*.cpp' | LC_ALL=C sort | head -n 1)"
  [ -n "$found" ] || fail "the copy has no source in $1/"
  echo "$found"
}
frame_file="$(first frame)"
input_file="$(first input)"
sound_file="$(first sound)"
game_file="$(first game)"

# Runs the copy's own check; its messages in $tmp/out.
check() {
  "$tree/scripts/check-layering.sh" "$@" >"$tmp/out" 2>&1
}

# Files changed by a case are kept here first and put back after it; files it made are removed.
saved=()
made=()
change() {  # FILE: about to be changed
  mkdir -p "$tmp/saved/$(dirname "$1")"
  cp -p "$tree/$1" "$tmp/saved/$1"
  saved+=("$1")
}
add() {  # FILE TEXT: a new file
  mkdir -p "$tree/$(dirname "$1")"
  printf '%s\n' "$2" >"$tree/$1"
  made+=("$1")
}
put_back() {
  local file
  for file in "${saved[@]}"; do cp -p "$tmp/saved/$file" "$tree/$file"; done
  for file in "${made[@]}"; do rm -f "$tree/$file"; done
  saved=()
  made=()
}

# STATUS CASE TEXT [ARGS]: the check must end with STATUS and say TEXT (the file at fault).
expect() {
  local expected="$1" case="$2" text="$3" status=0
  shift 3
  check "$@" || status=$?
  if [ "$status" -ne "$expected" ]; then
    cat "$tmp/out" >&2
    fail "$case: the check ended with status $status instead of $expected"
  fi
  grep -qF "$text" "$tmp/out" || {
    cat "$tmp/out" >&2
    fail "$case: the check did not name $text"
  }
  put_back
  echo "layering-test: caught $case"
}
# CASE FILE [ARGS]: the check must find a fault (status 1) and name FILE.
expect_caught() {
  expect 1 "$@"
}
# CASE TEXT [ARGS]: the check must refuse to check at all (status 2) and say TEXT.
expect_refused() {
  expect 2 "$@"
}

check || {
  cat "$tmp/out" >&2
  fail "the check fails on the unchanged copy"
}

change "$frame_file"
echo '#include "../scenes/title.h"' >>"$tree/$frame_file"
expect_caught 'a quoted include that climbs out of its folder' "$frame_file"

change "$input_file"
echo '#include <scenes/title.h>' >>"$tree/$input_file"
expect_caught 'an include in angle brackets' "$input_file"

add frame/layering_probe.cpp '#include "scenes/title.h"'
expect_caught 'an include in a file never added to git' frame/layering_probe.cpp

change "$frame_file"
printf '#ifdef _WIN32\n#include "scenes/title.h"\n#endif\n' >>"$tree/$frame_file"
expect_caught 'an include only the Windows build compiles' "$frame_file"

change "$sound_file"
printf '#ifdef __EMSCRIPTEN__\n#include <scenes/title.h>\n#endif\n' >>"$tree/$sound_file"
expect_caught 'an include only the browser build compiles' "$sound_file"

change "$game_file"
echo '#include "tests/support/fresh.h"' >>"$tree/$game_file"
expect_caught "a test's header included by the game" "$game_file"

add layering_probe/probe.cpp 'int LayeringProbe() { return 0; }'
expect_caught 'a folder of code that layers.txt does not list' layering_probe/probe.cpp

add layering_probe.cpp 'int LayeringProbe() { return 0; }'
expect_caught 'a source file at the top of the tree' layering_probe.cpp

# The README's map with its second and third folders the other way round.
change README.md
awk '/^## / { map = /^## Map/ }
     map && /^[0-9]+\. `/ && ++n == 2 { second = $0; next }
     { print }
     map && /^[0-9]+\. `/ && n == 3 { print second }' "$tmp/saved/README.md" >"$tree/README.md"
expect_caught "the README's map with two folders swapped" README.md
# A build without object files, where the check of the objects would find nothing to check.
mkdir "$tmp/empty-build"
expect_refused 'a build without object files' 'no object files of plusrail_rules' \
  --objects "$tmp/empty-build"
# A tree without any source.
mkdir -p "$tmp/bare/scripts"
cp "$tree/scripts/check-layering.sh" "$tmp/bare/scripts/"
cp "$tree/layers.txt" "$tree/README.md" "$tmp/bare/"
status=0
"$tmp/bare/scripts/check-layering.sh" >"$tmp/out" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "the check ended with status $status on a tree without a source"
grep -q 'no C/C++ file' "$tmp/out" || {
  cat "$tmp/out" >&2
  fail "the check did not say that the tree without a source has no file to check"
}
echo "layering-test: caught a tree without a single source"

echo "layering-test: the check passes on the tree and caught every upward include"
