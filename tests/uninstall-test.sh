#!/usr/bin/env bash
# `make uninstall` after `make install` and the suite's install test: the game is installed into
# a scratch DESTDIR and PREFIX by the Makefile, the install test (which installs again, into a
# prefix of its own) runs through ctest, and `make uninstall` must then remove every file the
# first install put there, and the game's folders with them. Run by .ci/run, not by ctest: it
# writes the build's install list, which must stay the player's own under `make test`.
#   tests/uninstall-test.sh BUILD
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:?usage: uninstall-test.sh BUILD}" && pwd)"
manifest="$build/install_manifest.txt"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "uninstall-test: $*" >&2
  exit 1
}

dest="$tmp/dest"
prefix=/opt/plusrail
# -o build: the build is there already; only the install's own recipe runs, on it.
make -C "$root" -o build install BUILD="$build" PREFIX="$prefix" DESTDIR="$dest" >/dev/null
[ -s "$manifest" ] || fail "make install left no list of what it installed"
listed="$(grep -c "" "$manifest")"  # its last line has no newline
while IFS= read -r file || [ -n "$file" ]; do
  case $file in
    "$prefix"/*) ;;
    *) fail "the install listed $file, outside $prefix" ;;
  esac
  [ -f "$dest$file" ] || fail "the install listed $file, which is not there"
done <"$manifest"
installed="$(find "$dest" ! -type d | wc -l)"
[ "$installed" -eq "$listed" ] ||
  fail "the install put $installed files under DESTDIR but listed $listed"
list_before="$(sha256sum <"$manifest")"

ctest --test-dir "$build" -R '^Install\.RunsFromAnyPrefix$' --output-on-failure >"$tmp/ctest.log" || {
  cat "$tmp/ctest.log" >&2
  fail "the install test failed"
}
grep -q '1 tests passed\|100% tests passed' "$tmp/ctest.log" || fail "the install test did not run"
[ "$list_before" = "$(sha256sum <"$manifest")" ] ||
  fail "the install test changed the list of the last install"

make -C "$root" uninstall BUILD="$build" DESTDIR="$dest" >/dev/null
left="$(find "$dest" ! -type d)"
[ -z "$left" ] || fail "make uninstall left these behind: $left"
for dir in libexec/plusrail share/plusrail; do
  [ ! -e "$dest$prefix/$dir" ] || fail "make uninstall left the folder $prefix/$dir"
done
echo "uninstall-test: make uninstall removed all $listed installed files after the install test"
