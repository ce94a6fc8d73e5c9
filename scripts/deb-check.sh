#!/usr/bin/env bash
# Installs the package on this machine with apt-get, starts Blokpost as an
# ordinary user with the command of its menu entry on a virtual display, sees
# its main window come up and its folder laid out, sees a start that cannot
# go on tell why in a window, an unknown option refused with nothing made,
# and blokpost-vnc listen on the loopback address only, and removes the
# package again. Needs root; the user is made for the check and removed after it.
#   scripts/deb-check.sh PACKAGE.deb
set -euo pipefail
package=$(readlink -f "$1")
user=blokpost-check
[ "$(id -u)" -eq 0 ] || { echo "deb-check installs a package: run it as root." >&2; exit 1; }

xvfb="" session=""
# Everything the check started ends with it, also when it fails halfway: the
# check user's processes (by their ids), the user, the display, the package.
finish() {
  [ -n "$session" ] && kill "$session" 2>/dev/null || true
  for pid in $(pgrep -u "$user" 2>/dev/null); do kill "$pid" 2>/dev/null || true; done
  sleep 1; userdel -r "$user" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null || true
  dpkg-query -W -f='${Status}' blokpost 2>/dev/null | grep -q "install ok installed" \
    && DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq blokpost >/dev/null 2>&1 || true
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
# The first free display, as Xvfb finds it.
rm -f /tmp/deb-check-display
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>/tmp/deb-check-display >/dev/null 2>&1 &
xvfb=$!
wait_for 10 test -s /tmp/deb-check-display || fail "Xvfb did not start"
display=":$(cat /tmp/deb-check-display)"
wait_for 10 env DISPLAY="$display" xdotool getdisplaygeometry || fail "Xvfb did not start on $display"

su - "$user" -c "DISPLAY=$display $command" >/tmp/deb-check-blokpost.log 2>&1 &
session=$!
wait_for 60 env DISPLAY="$display" xdotool search --name '^Blokpost' \
  || { cat /tmp/deb-check-blokpost.log; fail "no Blokpost window within 60 s"; }
sleep 3  # a few cycles of the main cycle
# The program's own window (the one with a class; Qt keeps others of the name).
for window in $(DISPLAY="$display" xdotool search --onlyvisible --name '^Blokpost$'); do
  DISPLAY="$display" xprop -id "$window" WM_CLASS | grep -q '"Blokpost"$' && break
done
program=$(DISPLAY="$display" xdotool getwindowpid "$window")
[ "$(stat -c %U "/proc/$program")" = "$user" ] || fail "the program does not run as $user"
# The desktop knows the window as the menu entry's, with its icon.
DISPLAY="$display" xprop -id "$window" WM_CLASS | grep -q "\"$(sed -n 's/^StartupWMClass=//p' "$entry")\"\$" \
  || fail "the window's class is not the menu entry's"
icon=$(DISPLAY="$display" xprop -id "$window" _NET_WM_ICON)  # whole: a pipe to grep -q would break it off
grep -q 'Icon (' <<<"$icon" || fail "the window has no icon"
home=$(getent passwd "$user" | cut -d: -f6)
[ -f "$home/Blokpost/VasteData/Schema1Data.txt" ] || fail "the demo was not laid out in $home/Blokpost"
command -v import >/dev/null && import -display "$display" -window root build/deb-check.png 2>/dev/null || true
echo "== Blokpost runs as $user (pid $program), folder $home/Blokpost laid out"
kill "$program"
wait "$session" 2>/dev/null || true
session=""

# A start from the menu that cannot go on (~/Blokpost is a file) shows its
# message in a window, and ends with 1 once it is closed.
su - "$user" -c "mv Blokpost Blokpost.saved && touch Blokpost"
su - "$user" -c "DISPLAY=$display $command" >/tmp/deb-check-blokpost.log 2>&1 &
session=$!
wait_for 30 env DISPLAY="$display" xdotool search --name '^Blokpost$' \
  || { cat /tmp/deb-check-blokpost.log; fail "a start on a file showed no window"; }
grep -q "is een bestand, geen map" /tmp/deb-check-blokpost.log || fail "the message does not say what is wrong"
DISPLAY="$display" xdotool windowfocus --sync "$(DISPLAY="$display" xdotool search --name '^Blokpost$' | head -1)" key Return
status=0; wait "$session" || status=$?
session=""
[ "$status" -eq 1 ] || fail "a start on a file ended with $status, not 1"
su - "$user" -c "rm Blokpost && mv Blokpost.saved Blokpost"
echo "== a start that cannot go on says why in a window"

# An unknown option: 2, and nothing made.
rm -rf "$home/.cache/blokpost-runtime"
status=0; su - "$user" -c "cd /tmp && $command --onbekend Nieuw" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with $status, not 2"
[ ! -e /tmp/Nieuw ] && [ ! -e "$home/.cache/blokpost-runtime" ] || fail "an unknown option made something"
echo "== an unknown option is refused with 2, nothing made"

# Without a display: blokpost-vnc's server listens on the loopback address only.
su - "$user" -c "blokpost-vnc --proefrit=20" >/tmp/deb-check-vnc.log 2>&1 &
session=$!
listening() { ss -ltnpH | grep "pid=$(pgrep -u "$user" -x Xvnc | head -1)," | awk '{print $4}'; }  # the user's Xvnc's
wait_for 30 bash -c "$(declare -f listening); user=$user; listening | grep -q ." \
  || { cat /tmp/deb-check-vnc.log; fail "blokpost-vnc did not listen"; }
listening | grep -qvE '^(127\.0\.0\.1|\[::1\]):' && fail "blokpost-vnc listens beyond the loopback address"
status=0; wait "$session" || status=$?
session=""
[ "$status" -eq 0 ] || { cat /tmp/deb-check-vnc.log; fail "blokpost-vnc's trial run ended with $status"; }
grep -q "proefrit van 20 cycli" /tmp/deb-check-vnc.log || { cat /tmp/deb-check-vnc.log; fail "blokpost did not run on blokpost-vnc's display"; }
echo "== blokpost-vnc listens on the loopback address only"

echo "== apt-get remove --purge blokpost"
DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq blokpost >/dev/null
for path in /usr/bin/blokpost /usr/bin/blokpost-vnc /usr/lib/blokpost "$entry" /usr/lib/udev/rules.d/50-k8055.rules; do
  [ ! -e "$path" ] || fail "$path is left after removing the package"
done
[ -f "$home/Blokpost/VasteData/Schema1Data.txt" ] || fail "removing the package took the user's folder"
echo "deb-check: installed, started from the menu entry as $user, removed cleanly"
