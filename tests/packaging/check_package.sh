#!/usr/bin/env bash
# The Debian package, made with CPack from a finished build folder (no second build): its files,
# its control fields, the desktop entry and AppStream metainfo as the validators see them, and the
# installed marelos-cli run from an extracted copy. Exits 77, which ctest counts as skipped,
# where dpkg-deb is missing.
# Usage: check_package.sh CPACK BUILD_FOLDER WORK_FOLDER VERSION
set -euo pipefail
cpack=$1 build=$2 work=$3 version=$4

if ! command -v dpkg-deb >/dev/null; then
    echo "Übersprungen: dpkg-deb fehlt (Debian-Paket dpkg), ohne es entsteht kein .deb."
    exit 77
fi
fail() {
    echo "FEHLER: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "CPack hat kein Paket gebaut"
fi
deb=$(echo "$work"/marelos_"$version"_*.deb)
[[ -f $deb ]] || fail "kein marelos_${version}_*.deb in $work"

echo "== Dateien von $(basename "$deb")"
dpkg-deb -c "$deb" | awk '{print $1, $6}' | tee "$work/files.txt"
for file in usr/bin/marelos usr/bin/marelos-cli \
    usr/share/marelos/hilfe/marelos-hilfe.html \
    usr/share/marelos/examples/luft-30m-25min.mrp usr/share/marelos/examples/trimix-60m.mrp \
    usr/share/marelos/examples/nitrox36-stufen.mrp usr/share/marelos/examples/aladin-logbuch.log \
    usr/share/applications/marelos.desktop usr/share/icons/hicolor/scalable/apps/marelos.svg \
    usr/share/mime/packages/marelos-profile.xml \
    usr/share/man/man1/marelos.1.gz usr/share/man/man1/marelos-cli.1.gz \
    usr/share/man/de/man1/marelos.1.gz usr/share/man/de/man1/marelos-cli.1.gz \
    usr/share/bash-completion/completions/marelos-cli \
    usr/share/doc/marelos/copyright usr/share/doc/marelos/changelog.gz; do
    grep -q " \./$file\$" "$work/files.txt" || fail "$file fehlt im Paket"
done
grep -qE ' \./usr/share/metainfo/[^/]+\.metainfo\.xml$' "$work/files.txt" ||
    fail "die AppStream-Beschreibung fehlt im Paket"
grep -vE '^(-rw-r--r--|-rwxr-xr-x|drwxr-xr-x) ' "$work/files.txt" && fail "ungewöhnliche Rechte"

echo "== Steuerdaten"
dpkg-deb -f "$deb" Package Version Architecture Depends | tee "$work/control.txt"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "Version ist nicht $version"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6serialport6 libxlsxwriter qt6-qpa-plugins libqt6svg6; do
    [[ $depends == *"$package"* ]] || fail "Depends nennt $package nicht"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
echo "== Prüfung von Menüeintrag und AppStream-Beschreibung"
desktop-file-validate "$root/usr/share/applications/marelos.desktop" ||
    fail "desktop-file-validate lehnt den Menüeintrag ab"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "appstreamcli lehnt die AppStream-Beschreibung ab"

echo "== Das installierte marelos-cli"
cli=$root/usr/bin/marelos-cli
readelf -d "$cli" | grep -q "$build" && fail "marelos-cli verweist noch auf den Build-Ordner"
shown=$("$cli" --version)
echo "$shown"
[[ $shown == *"(Build $version)" ]] || fail "marelos-cli --version sagt: $shown"
"$cli" calc "$root/usr/share/marelos/examples/luft-30m-25min.mrp" --json \
    --settings "$work/keine.ini" >"$work/calc.json" || fail "calc auf dem installierten Beispiel"
grep -q '"maxDepth":30' "$work/calc.json" || fail "calc rechnet das installierte Beispiel falsch"
echo "Paket in Ordnung: $deb"
