#!/usr/bin/env bash
# Builds the Debian package build/pkg/trellan_<version>_<arch>.deb and its debug symbols,
# build/pkg/trellan-dbgsym_<version>_<arch>.ddeb (Debian 12), as Debian builds its own: with
# dpkg-buildflags and build type None, so that Debian's flags alone choose the optimisation.
# Install it with: apt-get install ./build/pkg/trellan_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh package

# Reproducible: every time stamp in the package is the last commit's, and dpkg-buildflags maps
# the source folder away, so that any clone of a commit gives the same bytes.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
fi
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# The prefix is the one the package installs to.
cmake -S . -B build/pkg -G Ninja \
    -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DBUILD_TESTING=OFF -DTRELLAN_WARNINGS_AS_ERRORS=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build/pkg
(cd build/pkg && cpack -G DEB >/dev/null)

# CPack 3.25 lists the debug package's files in md5sums by their path in its staging folder, and
# gives the package no documents: mend both as Debian's dh_strip makes them (the documents
# folder a link to the program's) and build the package again, with the same time stamps.
ddeb=$(ls build/pkg/trellan-dbgsym_*.ddeb)
root=build/pkg/dbgsym-root
rm -rf "$root"
dpkg-deb -R "$ddeb" "$root"
sed -i 's|  /.*-dbgsym/|  |' "$root/DEBIAN/md5sums"
find "$root/usr/lib/debug" -type f -exec chmod 0644 {} +
mkdir -p "$root/usr/share/doc"
ln -s trellan "$root/usr/share/doc/trellan-dbgsym"
dpkg-deb --root-owner-group -Zxz --build "$root" "$ddeb" >/dev/null
rm -rf "$root"
ls build/pkg/trellan_*.deb build/pkg/trellan-dbgsym_*.ddeb
