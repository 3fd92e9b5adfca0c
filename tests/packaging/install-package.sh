#!/usr/bin/env bash
# Makes zkalto's Debian package from the build, installs it on this machine with apt-get, makes a
# user of the test's own and runs the test command, which finds them in ZKALTO_PACKAGE and
# ZKALTO_PACKAGE_USER. Whatever the test does, the machine is left as it was: the package is
# purged, packages its installation brought are removed again and the user is deleted.
#   install-package.sh <build directory> <user> <test command>...
# Ends with 77 (skipped) when not run as root or when zkalto is installed already.
set -euo pipefail
build=$1
user=$2
shift 2

if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: installing the package needs root"
  exit 77
fi
installed_packages() {
  dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" { print $2 }' | sort
}
if installed_packages | grep -qx zkalto; then
  echo "skipped: a zkalto package is installed on this machine; the test installs the build's own"
  exit 77
fi

before=$(installed_packages)
work=$(mktemp -d "${TMPDIR:-/tmp}/zkalto-package.XXXXXX")
made_user=no
clean_up() {
  local status=$?
  if dpkg-query -W zkalto >/dev/null 2>&1; then
    apt-get purge -y -q zkalto >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; status=1; }
  fi
  local brought
  brought=$(comm -13 <(echo "$before") <(installed_packages))
  if [[ -n $brought ]]; then
    echo "removing what the installation brought: $brought"
    # shellcheck disable=SC2086
    apt-get purge -y -q $brought >/dev/null 2>&1 || status=1
  fi
  if [[ $made_user == yes ]]; then
    # The web engine's processes may outlive the program by a moment.
    for _ in $(seq 120); do
      pgrep -U "$user" >/dev/null || break
      sleep 0.5
    done
    userdel "$user" || status=1
  fi
  rm -rf "$work"
  exit "$status"
}
trap clean_up EXIT

# apt-get reads the package as its own user: the folder must be open to it.
chmod 755 "$work"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
package=$(echo "$work"/zkalto_*.deb)
# Recommended packages would change the machine beyond the package itself.
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$package" \
  >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  exit 1
fi
if ! getent passwd "$user" >/dev/null; then
  useradd --system --user-group --no-create-home --shell /usr/sbin/nologin "$user"
  made_user=yes
fi
ZKALTO_PACKAGE=$package ZKALTO_PACKAGE_USER=$user "$@"
