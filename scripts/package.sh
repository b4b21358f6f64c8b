#!/usr/bin/env bash
# Builds the Debian package of Marelos into build-package/: the programs with Debian's hardening
# flags (dpkg-buildflags), installed under /usr and packed by CPack, with the dependencies that
# dpkg-shlibdeps finds. Install it with: sudo apt install ./build-package/marelos_*.deb
# A second run rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [[ ! -f build-package/CMakeCache.txt ]]; then
    eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    CXXFLAGS="$CXXFLAGS $CPPFLAGS" cmake -S . -B build-package -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
        -DMARELOS_BUILD_TESTS=OFF -DMARELOS_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build build-package --parallel
rm -f build-package/marelos_*.deb
(cd build-package && cpack -G DEB >cpack.log) || {
    cat build-package/cpack.log >&2
    exit 1
}
ls build-package/marelos_*.deb
