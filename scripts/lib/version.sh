# shellcheck shell=bash
# The version the packages carry, from git. Sourced, not run:
#     . "$root/scripts/lib/version.sh"

# dist_version: a release tag vMAJOR.MINOR... gives MAJOR.MINOR... (with +gitN.HASH for N
# commits after it); with no such tag, 0~gitYYYYMMDD.HASH from the last commit's date, so that
# the first tag sorts above every untagged build. Both start with a digit and hold only what a
# Debian version allows; a worktree with changes adds +dirty.
dist_version() {
  local described version
  if described="$(git describe --tags --match 'v[0-9]*' --long 2>/dev/null)"; then
    # vX.Y-N-gHASH
    local hash="${described##*-g}" rest="${described%-g*}"
    local count="${rest##*-}" tag="${rest%-*}"
    version="${tag#v}"
    [ "$count" = 0 ] || version="$version+git$count.$hash"
  else
    version="0~git$(git log -1 --format=%cd --date=format:%Y%m%d).$(git rev-parse --short=7 HEAD)"
  fi
  git diff --quiet HEAD -- 2>/dev/null || version="$version+dirty"
  echo "$version"
}
