#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev)
# One test watches the windows' stacking under a real X server and window manager:
# Xvfb, openbox, xdotool (keys) and xprop (x11-utils, the stacking order).
packages+=(xvfb openbox xdotool x11-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The tests of the power backend start a message bus of their own (never the
# computer's): Debian 12 has the daemon in the package dbus-daemon, older releases in dbus.
need_bus=""
command -v dbus-daemon >/dev/null 2>&1 || need_bus=1
if [ ${#missing[@]} -gt 0 ] || [ -n "$need_bus" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  if [ -n "$need_bus" ]; then
    if apt-cache show dbus-daemon >/dev/null 2>&1; then missing+=(dbus-daemon); else missing+=(dbus); fi
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
