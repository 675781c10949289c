#!/usr/bin/env bash
# Builds plusrail_VERSION_amd64.deb into OUTDIR and prints its path: the game built in DEBBUILD
# with Debian's compiler and linker flags, installed under /usr by its own install rules, the
# executable stripped, the manual page and the changelog compressed, the copyright beside them,
# Depends found by dpkg-shlibdeps from what the executable links. No root and no fakeroot:
# dpkg-deb gives every file to root itself.
#   scripts/make-deb.sh [DEBBUILD] [OUTDIR]        # build-deb and build/dist by default
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
. scripts/lib/version.sh
debbuild="${1:-build-deb}"
out="${2:-build/dist}"
jobs="${JOBS:-2}"

scripts/install-deps.sh --dist

upstream="$(dist_version)"
version="$upstream-1"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
deb="$out/plusrail_${version}_amd64.deb"

# Flags as a Debian package build sets them (hardening among them); the build type adds none.
if [ ! -f "$debbuild/CMakeCache.txt" ]; then
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S . -B "$debbuild" -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$debbuild" -j "$jobs" --target plusrail assets

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
stage="$work/stage"
umask 022
DESTDIR="$stage" cmake --install "$debbuild" --prefix /usr --component plusrail >/dev/null
strip --strip-unneeded --remove-section=.comment --remove-section=.note \
  "$stage/usr/lib/plusrail/plusrail"
gzip -9n "$stage/usr/share/man/man6/plusrail.6"

# Who signs the changelog: DEBFULLNAME and DEBEMAIL, as Debian's tools read them, else git's.
name="${DEBFULLNAME:-$(git config user.name || echo "+RAIL developers")}"
email="${DEBEMAIL:-$(git config user.email || echo "plusrail@example.org")}"
mkdir -p "$work/debian" "$stage/usr/share/doc/plusrail"
sed "s|@MAINTAINER@|$name <$email>|" tools/install/deb/control >"$work/debian/control"
{
  echo "plusrail ($version) unstable; urgency=medium"
  echo
  echo "  * Built from commit $(git rev-parse --short=12 HEAD): $(git log -1 --format=%s)"
  echo
  echo " -- $name <$email>  $(git log -1 --format=%cD)"
} >"$work/debian/changelog"
gzip -9n -c "$work/debian/changelog" >"$stage/usr/share/doc/plusrail/changelog.Debian.gz"
cp tools/install/deb/copyright "$stage/usr/share/doc/plusrail/copyright"

# dpkg-shlibdeps and dpkg-gencontrol read debian/ in the folder they run in.
(cd "$work" &&
  dpkg-shlibdeps -Tdebian/substvars -e"$stage/usr/lib/plusrail/plusrail" 2>&1 |
  { grep -v 'binaries to analyze should already be installed' || true; } &&
  dpkg-gencontrol -v"$version" -P"$stage" -Tdebian/substvars)
(cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) \
  >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/md5sums" "$stage/DEBIAN/control"

rm -f "$out"/plusrail_*_amd64.deb
SOURCE_DATE_EPOCH="$(git log -1 --format=%ct)" \
  dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"
