#!/usr/bin/env bash
# Builds the Debian package build-package/rx904-tool_VERSION-1_ARCH.deb with CPack, then checks
# the desktop entry and the AppStream metainfo as packaged, and the package with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Debian's hardening flags: stack protector, fortified functions, read-only relocations bound
# at start.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DRX904_BUILD_TESTS=OFF -DRX904_PACKAGE=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build-package
rm -f build-package/rx904-tool_*.deb
(cd build-package && cpack -G DEB)
deb=$(echo build-package/rx904-tool_*.deb)

contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
# Fails on errors; warnings are explained in docs/packaging.md.
lintian --fail-on error "$deb"
echo "Built and checked $deb"
