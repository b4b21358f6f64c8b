#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Marelos need, and only those
# that are missing: a second run on a prepared machine does nothing and needs no network.
set -euo pipefail

packages=(
    cmake
    ninja-build
    g++
    qt6-base-dev        # Qt Core, Gui, Widgets and PrintSupport
    qt6-qpa-plugins     # the desktop's platform plugins
    qt6-translations-l10n  # Qt's own dialogs and buttons in German
    qt6-serialport-dev  # the serial port of the dive-computer interface
    libqt6svg6          # the program's icon (Qt's SVG plugins)
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    libxlsxwriter-dev   # the spreadsheet export
    nlohmann-json3-dev  # the JSON output of marelos-cli
    libcli11-dev        # the argument parser of marelos-cli
    pkg-config
    fonts-dejavu-core   # a font for the program and for the tests without a display
    python3             # the reference calculation the engine is checked against
    clang               # the fuzz targets (scripts/fuzz.sh) ...
    libclang-rt-dev     # ... with libFuzzer and the sanitizer runtimes of the default clang
    dpkg-dev            # the Debian package (scripts/package.sh, ctest -L package): dpkg-shlibdeps ...
    file                # ... and CPack's look at which files are programs
    desktop-file-utils  # the package test validates the menu entry ...
    appstream           # ... and the AppStream metainfo
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "Installiere fehlende Pakete: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "Fehlende Pakete (${missing[*]}) lassen sich ohne root-Rechte oder sudo nicht installieren." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq "${missing[@]}"
