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

# Everything but the package's path goes to stderr: callers take stdout as that path.
scripts/install-deps.sh --dist >&2

upstream="$(dist_version)"
version="$upstream-1"
dpkg --validate-version "$version" || exit 1
mkdir -p "$out"
out="$(cd "$out" && pwd)"
deb="$out/plusrail_${version}_amd64.deb"

# Flags as a Debian package build sets them, with every hardening option (read when the folder
# is first configured); the build type adds none. `plusrail --version` says the package's version.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$debbuild" -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
  -DPLUSRAIL_BIN_DIR=games -DPLUSRAIL_VERSION="$upstream" >/dev/null
cmake --build "$debbuild" -j "$jobs" --target plusrail plusrail-submit assets >&2

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
stage="$work/stage"
umask 022
DESTDIR="$stage" cmake --install "$debbuild" --prefix /usr --component plusrail >/dev/null
# Debian keeps games in /usr/games, which root's PATH leaves out: the menu names the command whole.
sed -i 's|^Exec=plusrail$|Exec=/usr/games/plusrail|' "$stage/usr/share/applications/plusrail.desktop"
grep -qx 'Exec=/usr/games/plusrail' "$stage/usr/share/applications/plusrail.desktop"
strip --strip-unneeded --remove-section=.comment --remove-section=.note \
  "$stage/usr/libexec/plusrail/plusrail" "$stage/usr/games/plusrail-submit"
gzip -9n "$stage/usr/share/man/man6/plusrail.6" "$stage/usr/share/man/man6/plusrail-submit.6"

# Who signs the changelog: DEBFULLNAME and DEBEMAIL, as Debian's tools read them, else the
# project itself (not whoever's git made the last commit).
name="${DEBFULLNAME:-+RAIL developers}"
email="${DEBEMAIL:-plusrail@example.org}"
mkdir -p "$work/debian" "$stage/usr/share/doc/plusrail" "$stage/DEBIAN"
sed "s|@MAINTAINER@|$name <$email>|" tools/install/deb/control >"$work/debian/control"
{
  echo "plusrail ($version) unstable; urgency=medium"
  echo
  echo "  * Built from commit $(git rev-parse --short=12 HEAD) of $(git log -1 --format=%cs)."
  echo
  echo " -- $name <$email>  $(git log -1 --format=%cD)"
} >"$work/debian/changelog"
gzip -9n -c "$work/debian/changelog" >"$stage/usr/share/doc/plusrail/changelog.Debian.gz"
cp tools/install/deb/copyright "$stage/usr/share/doc/plusrail/copyright"
mkdir -p "$stage/usr/share/lintian/overrides"
cp tools/install/deb/lintian-overrides "$stage/usr/share/lintian/overrides/plusrail"

# dpkg-shlibdeps and dpkg-gencontrol read debian/ in the folder they run in.
(cd "$work" &&
  dpkg-shlibdeps -Tdebian/substvars -e"$stage/usr/libexec/plusrail/plusrail" \
    -e"$stage/usr/games/plusrail-submit" 2>&1 |
  { grep -v 'binaries to analyze should already be installed' >&2 || true; } &&
  dpkg-gencontrol -v"$version" -P"$stage" -Tdebian/substvars)
(cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) \
  >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/md5sums" "$stage/DEBIAN/control"

rm -f "$out"/plusrail_*_amd64.deb
SOURCE_DATE_EPOCH="$(git log -1 --format=%ct)" \
  dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"
