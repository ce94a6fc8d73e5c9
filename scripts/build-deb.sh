#!/usr/bin/env bash
# Builds the Debian package blokpost_<version>_<arch>.deb into OUTPUT-FOLDER.
#   scripts/build-deb.sh SOURCE-FOLDER BUILD-TREE OUTPUT-FOLDER
# The tree is a Release build without tests, benchmarks or sanitizers, with
# Debian's hardening flags, of the program as the package has it (working in
# ~/Blokpost); only the program, the two tools that lay out the demo
# installation, the guide's maker and the package's own files are built in it.
set -euo pipefail
source_folder=$(readlink -f "$1")
tree=$2
output=$3
umask 022

if [ ! -f "$tree/CMakeCache.txt" ]; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
  export CXXFLAGS LDFLAGS
fi
cmake -S "$source_folder" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DBLOKPOST_TESTS=OFF -DBLOKPOST_BENCH=OFF -DBLOKPOST_HOME_LAYOUT=ON -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$tree" --target blokpost blokpost-demo blokpost-pictures blokpost-guide blokpost_package_files
rm -f "$tree"/blokpost_*.deb
(cd "$tree" && cpack -G DEB >/dev/null)
mkdir -p "$output"
rm -f "$output"/blokpost_*.deb
cp "$tree"/blokpost_*.deb "$output"/
ls "$output"/blokpost_*.deb
