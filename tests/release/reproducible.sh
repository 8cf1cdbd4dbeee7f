#!/usr/bin/env bash
# Two builds of one commit, in different folders at different times, give the same bytes:
# copies the checkout elsewhere, runs scripts/release there (release targets only, unsigned)
# and compares what it made with what the test builds made here. Also checks that the
# program's version text carries the commit's date.
#
#   reproducible.sh SOURCE_DIR WIN32_BUILD_DIR NATIVE_BUILD_DIR VERSION
set -euo pipefail
source_dir=$(cd "${1:?source directory}" && pwd)
win32=${2:?win32 build directory}
native=${3:?native build directory}
version=${4:?version}

work=$(mktemp -d "${TMPDIR:-/tmp}/rebuild-XXXXXX")
trap 'rm -rf "$work"' EXIT
# Another name at another depth, so that a path of either checkout would show.
copy="$work/elsewhere/zumbiko"
mkdir -p "$copy"
tar -C "$source_dir" --exclude=./build -cf - . | tar -C "$copy" -xf -
unset "${!ZUMBIKO_SIGNING_@}" ZUMBIKO_TIMESTAMP_URL
if ! "$copy/scripts/release" >"$work/release.log" 2>&1; then
    cat "$work/release.log"
    echo "reproducible: scripts/release failed in the copy"
    exit 1
fi
cat "$work/release.log"

failures=0
same() {
    if cmp "$1" "$2"; then
        echo "same: ${2#"$source_dir"/}"
    else
        failures=$((failures + 1))
    fi
}
same "$copy/build/release/Zumbiko-Update-$version.msi" "$win32/Zumbiko-Update-$version.msi"
same "$copy/build/release/Zumbiko-Update-$version.zip" "$win32/Zumbiko-Update-$version.zip"
same "$copy/build/win32/app/Zumbiko Update.exe" "$win32/app/Zumbiko Update.exe"
# The Linux tools and packages of the native build here, brought up to date in case only
# win32 was built.
if cmake --build "$native" --target zumbiko-update zdat package >"$work/native.log" 2>&1; then
    for tool in zumbiko-update/zumbiko-update zdat/zdat; do
        same "$copy/build/native/tools/$tool" "$native/tools/$tool"
    done
    for deb in "$native"/*.deb; do same "$copy/build/release/${deb##*/}" "$deb"; done
else
    cat "$work/native.log"
    failures=$((failures + 1))
fi
(cd "$copy/build/release" && sha256sum --quiet -c SHA256SUMS) || failures=$((failures + 1))

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}
date=$(date -u -d "@$epoch" +%Y-%m-%d)
if ! strings -el "$win32/app/Zumbiko Update.exe" | grep -qxF "$version.0 ($date)"; then
    echo "the program's version text is not \"$version.0 ($date)\""
    failures=$((failures + 1))
fi
[ $failures -eq 0 ] || { echo "reproducible: $failures difference(s)"; exit 1; }
echo "reproducible: all the same"
