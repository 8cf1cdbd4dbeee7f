#!/usr/bin/env bash
# The installer under Wine, as a parent and an IT department use it: refused on a Windows
# older than the program's, a silent install into the test prefix, the Start-menu shortcut to
# the installed program, a signed newer package upgrading it in place, a downgrade refused,
# the installed program updating an emulated handheld through its windows, and a silent
# uninstall that leaves nothing of ours behind. On the way it proves the release's signing
# with a throw-away certificate: the signed program and installer verify, and the signed
# program is the build's, byte for byte, plus its signature.
#
#   installer.sh SOURCE_DIR WIN32_BUILD_DIR NATIVE_BUILD_DIR UI_DRIVER_EXE VERSION
#
# Needs the Wine environment of scripts/wine-env in ours; exits 77 (skipped) without an X
# display, /dev/fuse or the native build's emulator.
set -euo pipefail
source_dir=${1:?source directory}
build=${2:?win32 build directory}
native=${3:?native build directory}
ui_driver=${4:?ui-driver.exe}
version=${5:?version}
# shellcheck source=scripts/served-handhelds
source "$source_dir/scripts/served-handhelds"

[ -n "${DISPLAY:-}" ] || { echo "skipped: no X display"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/installer-XXXXXX")
served_init "$work" "$native" || { rm -rf "$work"; echo "skipped"; exit 77; }
# No menu entries on the host for the shortcuts the installer makes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

older="$build/Zumbiko-Update-$version.msi"
newer_version="${version%.*}.$((${version##*.} + 1))"
newer="$work/Zumbiko-Update-$newer_version.msi"
msiexec() { wine msiexec "$1" "$(winepath -w "$2" 2>/dev/null)" /qn </dev/null; }
# The Windows version Wine claims; "" is its own default.
windows_version() {
    if [ -n "$1" ]; then
        wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$1" /f
    else
        wine reg delete 'HKCU\Software\Wine' /v Version /f
    fi >/dev/null 2>&1
}
cleanup() {
    [ -z "${older_windows:-}" ] || windows_version ""
    msiexec /x "$newer" >/dev/null 2>&1 || true
    msiexec /x "$older" >/dev/null 2>&1 || true
    served_cleanup
    rm -rf "$work"
}
trap cleanup EXIT

# Everything on the prefix's C: but Wine's installer cache, whose folder stays once made.
drive_c() { (cd "$WINEPREFIX/drive_c" && find . ! -path './windows/Installer*' | sort); }
# The package is 32-bit: on 64-bit Windows (a win64 prefix) it goes where 32-bit programs go,
# and its uninstall entry is in the registry's 32-bit view.
program_files='Program Files'
view=()
if [ "${WINEARCH:-}" = win64 ]; then
    program_files='Program Files (x86)'
    view=(/reg:32)
fi
installed="$WINEPREFIX/drive_c/$program_files/Zumbiko Update"
# The installed programs' entries (name, version, publisher) and the icon each registers.
entries() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "${view[@]}" \
        2>/dev/null | tr -d '\r' | awk '/^HKEY/ {key = $0} /DisplayName +REG_SZ +Zumbiko Update$/ {print key}' |
        while read -r key; do
            wine reg query "$key" "${view[@]}" 2>/dev/null | tr -d '\r' |
                awk '$1 ~ /^(DisplayVersion|Publisher)$/ {printf "%s=%s ", $1, $3}'
            echo
        done
}
product_icon() {
    wine reg query 'HKLM\Software\Classes\Installer\Products' /s 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *ProductIcon *REG_SZ *//p'
}
# The one shortcut the installer made, and the program it starts.
shortcut_target() {
    local links
    mapfile -t links < <(find "$WINEPREFIX/drive_c" -name 'Zumbiko Update.lnk')
    [ ${#links[@]} -eq 1 ] || { echo "shortcuts: ${links[*]}" >&2; return 1; }
    lnkinfo "${links[0]}" | sed -n 's/^\tLocal path\t*: //p'
}

echo "== signing with a throw-away certificate"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Zumbiko test signer" \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
export ZUMBIKO_SIGNING_CERT_FILE="$work/cert.pem" ZUMBIKO_SIGNING_KEY_FILE="$work/key.pem"
mkdir -p "$work/signed"
signed="$work/signed/Zumbiko Update.exe"
cp "$build/app/Zumbiko Update.exe" "$signed"
check "$source_dir/scripts/sign" "$signed"
cmake -DBUILD_DIR="$build" -DVERSION="$newer_version" -DOUT_DIR="$work" -DPROGRAM="$signed" \
    -P "$source_dir/release/Package.cmake"
check "$source_dir/scripts/sign" "$newer"
for f in "$signed" "$newer"; do
    check osslsigncode verify -CAfile "$work/cert.pem" -in "$f" >/dev/null
done
check osslsigncode remove-signature -in "$signed" -out "$work/unsigned.exe" >/dev/null
check cmp "$build/app/Zumbiko Update.exe" "$work/unsigned.exe"

echo "== refuse Windows 2000, install $version"
before=$(drive_c)
older_windows=win2k
windows_version "$older_windows"
check not msiexec /i "$older"
windows_version ""
older_windows=""
check [ -z "$(entries)" ]
check msiexec /i "$older"
check cmp "$build/app/Zumbiko Update.exe" "$installed/Zumbiko Update.exe"
check cmp "$source_dir/data/sample/Zumbiko Update.dat" "$installed/Zumbiko Update.dat"
check [ "$(shortcut_target)" = "C:\\$program_files\\Zumbiko Update\\Zumbiko Update.exe" ]
check [ "$(entries)" = "DisplayVersion=$version Publisher=Zumbiko " ]
icon=$(product_icon)
check [ -f "$(winepath -u "$icon" 2>/dev/null)" ]

echo "== upgrade to $newer_version, refuse the downgrade"
check msiexec /i "$newer"
check [ "$(entries)" = "DisplayVersion=$newer_version Publisher=Zumbiko " ]
check cmp "$signed" "$installed/Zumbiko Update.exe"
check [ "$(ls "$installed")" = "$(printf 'Zumbiko Update.dat\nZumbiko Update.exe')" ]
check not msiexec /i "$older"
check [ "$(entries)" = "DisplayVersion=$newer_version Publisher=Zumbiko " ]

echo "== the shortcut's program updates a handheld"
# A character of the sample data at a version it updates, as scripts/demo serves it.
served_drives_install e
served_start toy --group 0 --number 1 --version 0x240
served_map e toy
program=$(shortcut_target)
timeout 120 wine "$ui_driver" --program "$program" \
    start about click:english ready click:update message:ok message:ok ready click:close exit \
    </dev/null 2>&1 | sed -u 's/\r$//' | tee "$work/driver.log"
date=$(date -u -d "@$(cat "$build/source-date-epoch")" +%Y-%m-%d)
check grep -qF "about: \"About Zumbiko Update...\" $version.0 ($date)" "$work/driver.log"
check grep -qxF "message: icon=information text=\"$("$SERVED_FIXTURE" message 1 en)\"" "$work/driver.log"
check grep -qxF 'exit: 0' "$work/driver.log"
served_expect_closed
check grep -qx 'block 511: version=0x250 group=0 number=1' <("$SERVED_FIXTURE" record "$work/toy.memory")

echo "== uninstall"
check msiexec /x "$newer"
check [ -z "$(entries)" ]
check [ -z "$(product_icon)" ]
check diff <(echo "$before") <(drive_c)

if [ "$SERVED_FAILURES" -ne 0 ]; then
    echo "installer: $SERVED_FAILURES check(s) failed"
    exit 1
fi
echo "installer: all checks passed"
