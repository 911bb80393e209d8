# shellcheck shell=bash
# Sourced by scripts/windows-qt and scripts/windows-jpeg: apt options that
# reach bookworm's source packages through a sources file of our own in
# CACHE/apt, leaving the machine's own sources and lists untouched.
#
#   source scripts/debian-source.sh CACHE
#   version=$(debian_source_version PACKAGE)   (exits when there is none)
#   debian_source_extract PACKAGE VERSION DIR  (in the current folder)

debian_apt_dir=$1/apt
debian_apt_options=(
  -o "Dir::Etc::SourceList=/dev/null"
  -o "Dir::Etc::SourceParts=$debian_apt_dir/sources.list.d"
  -o "Dir::State::Lists=$debian_apt_dir/lists"
  -o "Dir::Cache::Archives=$debian_apt_dir/archives"
  # The folders are root's own: no downloads as the unprivileged _apt user.
  -o "APT::Sandbox::User=root"
)
mkdir -p "$debian_apt_dir/sources.list.d" "$debian_apt_dir/lists/partial" "$debian_apt_dir/archives/partial"
cat >"$debian_apt_dir/sources.list.d/qt-source.sources" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES

# The package's source version in bookworm; the list of sources is fetched
# only when the cached list does not know the package yet.
debian_source_version() {
  local version
  version=$(apt-cache "${debian_apt_options[@]}" showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | head -n 1 || true)
  if [[ -z $version ]]; then
    apt-get "${debian_apt_options[@]}" -qq update >&2
    version=$(apt-cache "${debian_apt_options[@]}" showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | head -n 1 || true)
  fi
  [[ -n $version ]] || {
    echo "$0: no $1 source package in Debian's archive" >&2
    exit 1
  }
  echo "$version"
}

# Downloads the source package and unpacks it into DIR.
debian_source_extract() {
  apt-get "${debian_apt_options[@]}" -qq source --download-only "$1=$2" >/dev/null 2>&1 ||
    { echo "$0: could not download the $1 $2 source package" >&2; exit 1; }
  dpkg-source --no-check -x ./"$1"_*.dsc "$3" >/dev/null 2>&1 ||
    { echo "$0: could not unpack the $1 source package" >&2; exit 1; }
}
