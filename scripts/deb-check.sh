#!/usr/bin/env bash
# Installs the package on this machine with apt-get, starts Blokpost as an
# ordinary user with the command of its menu entry on a virtual display, sees
# its main window come up and its folder laid out, and removes the package
# again. Needs root; the user is made for the check and removed after it.
#   scripts/deb-check.sh PACKAGE.deb
# BLOKPOST_CHECK_DISPLAY (default :21) is the virtual display's number.
set -euo pipefail
package=$(readlink -f "$1")
display=${BLOKPOST_CHECK_DISPLAY:-:21}
user=blokpost-check
[ "$(id -u)" -eq 0 ] || { echo "deb-check installs a package: run it as root." >&2; exit 1; }

xvfb="" session=""
finish() {
  [ -n "$session" ] && kill "$session" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  id "$user" >/dev/null 2>&1 && userdel -r "$user" 2>/dev/null || true
}
trap finish EXIT
fail() { echo "deb-check: $*" >&2; exit 1; }
wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds
  local seconds=$1; shift
  for _ in $(seq "$((seconds * 4))"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.25; done
  return 1
}

echo "== apt-get install $package"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$package" >/dev/null
entry=$(dpkg -L blokpost | grep '^/usr/share/applications/.*\.desktop$')
command=$(sed -n 's/^Exec=//p' "$entry")
echo "== menu entry $entry runs: $command"

useradd --create-home --shell /bin/bash "$user"
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
wait_for 10 env DISPLAY="$display" xdotool getdisplaygeometry || fail "Xvfb did not start on $display"

su - "$user" -c "DISPLAY=$display $command" >/tmp/deb-check-blokpost.log 2>&1 &
session=$!
wait_for 60 env DISPLAY="$display" xdotool search --name '^Blokpost' \
  || { cat /tmp/deb-check-blokpost.log; fail "no Blokpost window within 60 s"; }
sleep 3  # a few cycles of the main cycle
window=$(DISPLAY="$display" xdotool search --name '^Blokpost' | head -1)
program=$(DISPLAY="$display" xdotool getwindowpid "$window")
[ "$(stat -c %U "/proc/$program")" = "$user" ] || fail "the program does not run as $user"
home=$(getent passwd "$user" | cut -d: -f6)
[ -f "$home/Blokpost/VasteData/Schema1Data.txt" ] || fail "the demo was not laid out in $home/Blokpost"
command -v import >/dev/null && import -display "$display" -window root build/deb-check.png 2>/dev/null || true
echo "== Blokpost runs as $user (pid $program), folder $home/Blokpost laid out"
kill "$program"
wait "$session" 2>/dev/null || true
session=""

echo "== apt-get remove --purge blokpost"
DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq blokpost >/dev/null
for path in /usr/bin/blokpost /usr/lib/blokpost "$entry" /usr/lib/udev/rules.d/50-k8055.rules; do
  [ ! -e "$path" ] || fail "$path is left after removing the package"
done
[ -f "$home/Blokpost/VasteData/Schema1Data.txt" ] || fail "removing the package took the user's folder"
echo "deb-check: installed, started from the menu entry as $user, removed cleanly"
