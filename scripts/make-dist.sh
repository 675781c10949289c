#!/usr/bin/env bash
# Puts the packages to hand out into BUILD/dist, from the builds `make dist` has just made:
#   plusrail_VERSION_amd64.deb          (scripts/make-deb.sh, checked with lintian)
#   plusrail-VERSION-windows-x64.zip    the folder plusrail-VERSION-windows-x64: the stripped
#                                       plusrail.exe, bmp/, wave/, README.txt and the two .cmd
#                                       files that start it without sound or in a window
#   plusrail-VERSION-web.zip            the folder plusrail-VERSION-web: the static site
#   SHA256SUMS                          over the three
#   scripts/make-dist.sh BUILD WINDOWS_BUILD WEB_BUILD
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
. scripts/lib/version.sh
build="${1:?usage: make-dist.sh BUILD WINDOWS_BUILD WEB_BUILD}"
windows="${2:?usage: make-dist.sh BUILD WINDOWS_BUILD WEB_BUILD}"
web="${3:?usage: make-dist.sh BUILD WINDOWS_BUILD WEB_BUILD}"
fail() {
  echo "make-dist: $*" >&2
  exit 1
}
for file in "$windows/dist/plusrail.exe" "$windows/dist/bmp" "$web/dist/index.html"; do
  [ -e "$file" ] || fail "$file is missing: run make windows and make web first"
done

scripts/install-deps.sh --dist
version="$(dist_version)"
# Built by `make dist`, the programs say the same version as the packages' names.
grep -qF "+RAIL $version<" "$web/dist/index.html" ||
  fail "the browser build is not of version $version: run make dist"
grep -qaF "$version" "$windows/dist/plusrail.exe" ||
  fail "the Windows build is not of version $version: run make dist"
out="$build/dist"
rm -rf "$out"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
umask 022

# The .deb, and what lintian says of it: an error stops here.
deb="$(scripts/make-deb.sh build-deb "$out")"
echo "make-dist: lintian $(basename "$deb"):"
lintian "$deb" | tee "$build/lintian.txt" || fail "lintian found errors in $deb"
[ -s "$build/lintian.txt" ] || echo "  (nothing to report)"

# Windows' own line ends for what a player opens in Notepad or runs with cmd.
crlf() { sed 's/\r*$/\r/'; }

name="plusrail-$version-windows-x64"
folder="$work/$name"
mkdir -p "$folder"
cp "$windows/dist/plusrail.exe" "$folder/"
x86_64-w64-mingw32-strip "$folder/plusrail.exe"
# Linked statically: nothing but Windows' own libraries may be asked for.
if x86_64-w64-mingw32-objdump -p "$folder/plusrail.exe" | grep -i 'DLL Name' |
  grep -iv -E 'DLL Name: (kernel32|user32|gdi32|shell32|advapi32|ddraw|dsound|winmm|msvcrt|ole32|ws2_32|api-ms-win-[a-z0-9-]+)\.dll$'; then
  fail "plusrail.exe needs a DLL that Windows does not have"
fi
cp -R "$windows/dist/bmp" "$windows/dist/wave" "$folder/"
# The title's underline as long as the title with the version in it.
sed "s|@VERSION@|$version|" tools/install/windows/README.txt |
  awk 'NR == 1 { title = length($0) } NR == 2 && /^=+$/ { $0 = sprintf("%*s", title, ""); gsub(/ /, "=") } 1' |
  crlf >"$folder/README.txt"
printf '@start "" "%%~dp0plusrail.exe" --no-sound\n' | crlf >"$folder/Play without sound.cmd"
printf '@start "" "%%~dp0plusrail.exe" --window\n' | crlf >"$folder/Play in a window.cmd"
(cd "$work" && zip -q -X -r -9 "$out/$name.zip" "$name")

name="plusrail-$version-web"
cp -R "$web/dist" "$work/$name"
(cd "$work" && zip -q -X -r -9 "$out/$name.zip" "$name")

(cd "$out" && sha256sum -- *.deb *.zip >SHA256SUMS)
echo "make-dist: in $out:"
(cd "$out" && stat -c '  %s	%n' -- *.deb *.zip SHA256SUMS)
