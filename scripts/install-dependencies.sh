#!/usr/bin/env bash
# Installs, from the distribution's packages, everything zkalto needs to build, run and test.
# Only missing packages are installed; nothing is downloaded from anywhere else.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-webengine-dev
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-damage0-dev
  libblkid-dev
  # scanning: SANE's headers, its library (loaded at run time) and its test device for the tests
  libsane-dev libsane1
  libbenchmark-dev
  # benchmarks: presses sent through XTEST
  libxcb-xtest0-dev
  # compact pages (LZ4, zstd) and the PNG codec (ISA-L deflate)
  liblz4-dev libzstd-dev libisal-dev
  # JPEG pictures (libjpeg-turbo: clip-art files, imported photos) and Qt's readers of TIFF and
  # other picture files
  libjpeg-dev qt6-image-formats-plugins
  # Qt's own dialogs in Chinese
  qt6-translations-l10n
  # fonts the interface's font names map to
  fonts-arphic-uming fonts-arphic-ukai fonts-dejavu-core
  # tests: a virtual X display, small X clients, a window manager that puts windows in frames,
  # a panel, and pointer presses for the tests on a desktop
  xvfb xauth x11-utils openbox tint2 xdotool
  # tests: a session bus of their own for the desktop portal
  dbus-daemon
  # tests: a Wayland session (sway with XWayland) with its own session bus, PipeWire and the
  # desktop portal, its wlroots backend (the screenshot) and its GTK backend (the access check);
  # grim reads outputs, xhost lets the test (root) look at XWayland; setpriv and useradd make and
  # become the session's user
  sway xwayland grim pipewire wireplumber dbus-bin x11-xserver-utils util-linux passwd
  xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
  # tests: a compositing manager on the virtual display
  picom
  # tests: independent PNG decoders
  pngcheck python3-pil
  # the Debian package: CPack finds the libraries to depend on with file and dpkg-shlibdeps; the
  # package test checks the menu entry, the AppStream metadata and the man pages as the desktop's
  # tools read them
  file dpkg-dev desktop-file-utils appstream mandoc man-db
  # tests: independent PDF readers (page count and size, text, pictures) for the lesson's PDF
  poppler-utils
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
