#!/usr/bin/env bash
# Builds the Debian package build/pkg/trellan_<version>_<arch>.deb (Debian 12).
# Install it with: apt-get install ./build/pkg/trellan_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh package

# Debian's hardening flags; the prefix is the one the package installs to, so that an installed
# copy recognises its bindir.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build/pkg -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DBUILD_TESTING=OFF -DTRELLAN_WARNINGS_AS_ERRORS=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build/pkg
(cd build/pkg && cpack -G DEB >/dev/null)
ls build/pkg/trellan_*.deb
