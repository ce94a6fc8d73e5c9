#!/bin/bash
# blokpost [OPTION...] [FOLDER]: starts Blokpost in FOLDER (default ~/Blokpost).
# The program reads and writes every file relative to the folder it runs in,
# so each folder is a layout of its own. Before each start the demo
# installation's files that are missing in the folder are laid out (all of
# them on the first start); a file that exists is never overwritten.
set -euo pipefail

program_dir="$(dirname "$(readlink -f "$0")")/../lib/blokpost"

usage() {
  cat <<'TEXT'
Usage: blokpost [OPTION...] [FOLDER]
Starts Blokpost in FOLDER (default ~/Blokpost). On the first start the demo
installation is laid out there: schedules, layout, names, timetable books and
pictures. Files already in the folder are never overwritten.

Options are handed to the program:
  --controle     check the four schedule variants with both timetable
                 books, print the findings and end (1 on a fault)
  --proefrit N   start as usual and end after N cycles of the main cycle
  -platform NAME Qt's platform, such as offscreen or vnc
  --help         show this help and end
  --version      show the version and end

See blokpost(1).
TEXT
}

folder=""
options=()
while [ $# -gt 0 ]; do
  case "$1" in
    --help | -h) usage; exit 0 ;;
    --version) exec "$program_dir/blokpost" --version ;;
    --proefrit | -platform)
      [ $# -ge 2 ] || { echo "blokpost: $1 needs a value" >&2; exit 2; }
      options+=("$1" "$2"); shift ;;
    --) shift; [ $# -gt 0 ] && folder="$1"; break ;;
    -*) options+=("$1") ;;
    *)
      [ -z "$folder" ] || { echo "blokpost: one folder only, not also '$1'" >&2; exit 2; }
      folder="$1" ;;
  esac
  shift
done
folder="${folder:-$HOME/Blokpost}"

# Without a display Qt would abort; say so instead. A check and a given
# platform need none.
needs_display=yes
for option in "${options[@]}"; do
  case "$option" in -platform | --controle) needs_display=no ;; esac
done
if [ "$needs_display" = yes ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "blokpost: no display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Start it from the desktop, or with '-platform vnc' to see it in a VNC viewer." >&2
  exit 1
fi

if [ -e "$folder" ] && [ ! -d "$folder" ]; then
  echo "blokpost: '$folder' is not a folder" >&2
  exit 1
fi
mkdir -p -- "$folder"
# The pictures and the demo data, each written only where it is missing.
for tool in blokpost-pictures blokpost-demo; do
  if ! QT_QPA_PLATFORM=offscreen "$program_dir/$tool" "$folder" >/dev/null; then
    echo "blokpost: could not lay out the demo installation in '$folder'" >&2
    exit 1
  fi
done
cd -- "$folder"
exec "$program_dir/blokpost" "${options[@]}"
