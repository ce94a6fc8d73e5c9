#!/usr/bin/env bash
# Lays out the installation folder: the program beside its data folders.
# Files already there are never overwritten: the operator's schedules,
# layout, names, timetables and pictures live in those folders.
set -euo pipefail
build=$1
dest=$2

mkdir -p "$dest"
# Keep an existing folder in whatever letter case the operator gave it.
for folder in VasteData Tekeningen; do
  if ! find "$dest" -maxdepth 1 -type d -iname "$folder" | grep -q .; then
    mkdir "$dest/$folder"
  fi
done

cp -f "$build/blokpost" "$dest/blokpost.new" && mv -f "$dest/blokpost.new" "$dest/blokpost"

# Pictures and the demo are written only where a file is missing.
for tool in blokpost-pictures blokpost-demo; do
  if [ -x "$build/tools/$tool" ]; then
    QT_QPA_PLATFORM=offscreen "$build/tools/$tool" "$dest"
  fi
done

# The first-steps guide that "Help" opens, made from the README.
if [ -x "$build/tools/blokpost-guide" ]; then
  QT_QPA_PLATFORM=offscreen "$build/tools/blokpost-guide" "$(dirname "$0")/../README.md" "$dest"
fi
