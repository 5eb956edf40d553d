#!/usr/bin/env bash
# Builds the Debian package in one command: a Release build with Debian's
# hardening flags in build-deb/, packed by CPack into
# build-deb/tunelark_<version>_<arch>.deb, and lintian's report on it.
# Install it with: sudo apt install ./build-deb/tunelark_*.deb
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh" run
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
# GCC 12 warns falsely about "literal" + std::string at -O3 (its bug 105329).
cxxflags="$(dpkg-buildflags --get CXXFLAGS) -Wno-restrict"
cmake -S "$root" -B "$root/build-deb" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTUNELARK_BUILD_TESTS=OFF -DTUNELARK_BUILD_BENCHMARKS=OFF \
  -DCMAKE_C_FLAGS="$cppflags $(dpkg-buildflags --get CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
echo "building the package in build-deb/ (a few minutes the first time)"
cmake --build "$root/build-deb" -j "$(nproc)" -- --quiet
rm -f "$root"/build-deb/tunelark_*.deb
(cd "$root/build-deb" && cpack -G DEB >/dev/null)
package=$(ls "$root"/build-deb/tunelark_*.deb)
if command -v lintian >/dev/null; then
  lintian --fail-on error "$package"
fi
echo "$package"
