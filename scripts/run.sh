#!/usr/bin/env bash
# Starts Blokpost inside its installation folder. Without a display it runs
# on Qt's VNC platform, so a VNC viewer can show it.
set -euo pipefail
cd "$1"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  port=${BLOKPOST_VNC_PORT:-5900}
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)."
  echo "Starting Blokpost on Qt's VNC platform instead."
  echo "Connect a VNC viewer to $(hostname -I 2>/dev/null | awk '{print $1}' || echo localhost):$port (or localhost:$port on this machine)."
  exec ./blokpost -platform "vnc:size=1400x860:port=$port"
fi
exec ./blokpost
