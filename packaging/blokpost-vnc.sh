#!/bin/bash
# blokpost-vnc [OPTION...] [FOLDER]: shows Blokpost on a computer without a
# display, to this computer only. TigerVNC's X server (Xvnc) gets a display
# of its own that listens on the loopback address alone and asks a password
# made for this run; X clients need this run's cookie. Blokpost runs on it
# with the same options and folder as `blokpost`; both end together.
# BLOKPOST_PROGRAM: the program to start (default: blokpost beside this
# script); BLOKPOST_VNC_SIZE: the screen (default 1366x768).
set -uo pipefail
program=${BLOKPOST_PROGRAM:-$(dirname "$(readlink -f "$0")")/blokpost}
size=${BLOKPOST_VNC_SIZE:-1366x768}

for tool in Xvnc vncpasswd xauth; do
  if ! command -v "$tool" >/dev/null; then
    echo "blokpost-vnc: $tool ontbreekt; installeer het met: sudo apt-get install tigervnc-standalone-server tigervnc-tools" >&2
    exit 1
  fi
done

work=$(mktemp -d -t blokpost-vnc.XXXXXXXX) || exit 1
server="" manager=""
finish() {
  [ -n "$manager" ] && kill "$manager" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf -- "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM HUP

password=$(head -c 12 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | cut -c1-8)
printf '%s\n' "$password" | vncpasswd -f >"$work/passwd"
cookie=$(head -c 16 /dev/urandom | od -An -tx1 | tr -d ' \n')
export XAUTHORITY="$work/Xauthority"
: >"$XAUTHORITY"

# The first free display from :10 on; Xvnc refuses a taken one, then the next is tried.
for number in $(seq 10 99); do
  [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
  xauth -q add ":$number" . "$cookie"
  Xvnc ":$number" -localhost -nolisten tcp -auth "$XAUTHORITY" -SecurityTypes VncAuth \
    -PasswordFile "$work/passwd" -geometry "$size" -depth 24 -desktop Blokpost >"$work/xvnc.log" 2>&1 &
  server=$!
  for _ in $(seq 40); do
    kill -0 "$server" 2>/dev/null || break
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.25
  done
  kill -0 "$server" 2>/dev/null && [ -e "/tmp/.X11-unix/X$number" ] && break
  server=""
done
if [ -z "$server" ]; then
  echo "blokpost-vnc: Xvnc kon niet starten:" >&2
  cat "$work/xvnc.log" >&2
  exit 1
fi
export DISPLAY=":$number"
port=$((5900 + number))
command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & manager=$!; }

cat <<TEXT
Blokpost draait op een eigen beeldscherm dat alleen deze computer bereikt
(127.0.0.1 en ::1, poort $port; wachtwoord $password).
  Op deze computer:        vncviewer localhost:$port
  Vanaf een andere:        ssh -L $port:localhost:$port $(id -un)@$(hostname)
                           en dan daar: vncviewer localhost:$port
Blokpost en dit beeldscherm stoppen samen ("Exit" of Ctrl+C hier).
TEXT
"$program" "$@"
exit $?
