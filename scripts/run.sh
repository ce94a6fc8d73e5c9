#!/usr/bin/env bash
# Starts Blokpost inside its installation folder. Without a display it runs
# on a display of its own that only this computer reaches (blokpost-vnc), so
# a VNC viewer here, or through an ssh tunnel, shows it.
set -euo pipefail
vnc="$(cd "$(dirname "$0")/.." && pwd)/packaging/blokpost-vnc.sh"
cd "$1"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): Blokpost gets a display of its own."
  BLOKPOST_PROGRAM=./blokpost exec "$vnc"
fi
exec ./blokpost
