#!/usr/bin/env bash
# The Debian packages of the build, as a user gets them.
#
#   packages.sh lint NATIVE_BUILD_DIR
#       makes them (the `package` target) and has lintian look at them: no error.
#   packages.sh install NATIVE_BUILD_DIR
#       installs them with dpkg; the installed zumbiko-update answers --help, has its man
#       page and bash completion, and updates a handheld behind a loop device with the data
#       file the package brought; the shipped udev rule leaves that loop device alone, as it
#       is no drive a person plugs in, and finds the installed helper when opened for it.
#       Then dpkg purges them, and nothing of them is left.
#
# install changes this machine's /usr, so it runs only in CI (CI set) or when asked to
# (ZUMBIKO_INSTALL_TESTS=1), as root, with loop devices and /dev/fuse, and never where the
# packages are installed already; it exits 77 (skipped) otherwise.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mode=${1:?lint or install}
native=$(cd "${2:?native build directory}" && pwd)
mapfile -t debs < <(find "$native" -maxdepth 1 -name '*.deb' | sort)

if [ "$mode" = lint ]; then
    rm -f "$native"/*.deb
    cmake --build "$native" --target package
    mapfile -t debs < <(find "$native" -maxdepth 1 -name '*.deb' | sort)
    [ ${#debs[@]} -eq 2 ] || { echo "packages: expected two packages, made: ${debs[*]}"; exit 1; }
    ls -l "${debs[@]}"
    rc=0
    lintian --pedantic --display-info --fail-on error "${debs[@]}" >"$native/lintian.log" 2>&1 || rc=$?
    echo "lintian (exit status $rc):"
    grep -v 'running with root privileges' "$native/lintian.log" || true
    exit $rc
fi

skip() {
    echo "skipped: $*"
    exit 77
}
[ -n "${CI:-}" ] || [ "${ZUMBIKO_INSTALL_TESTS:-}" = 1 ] ||
    skip "installs into /usr: runs in CI, or with ZUMBIKO_INSTALL_TESTS=1"
for package in zumbiko-update zdat; do
    if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q installed; then
        skip "$package is installed on this machine; it stays as it is"
    fi
done
[ ${#debs[@]} -eq 2 ] || skip "no packages in $native (the lint test makes them)"
# shellcheck source=scripts/served-handhelds
source "$here/../../scripts/served-handhelds"
work=$(mktemp -d "${TMPDIR:-/tmp}/packages-XXXXXX")
served_init "$work" "$native" loop || {
    rm -rf "$work"
    skip "see above"
}
# What is in /usr and /etc before, to compare with what is there after.
inventory() { find /usr /etc -xdev ! -path '/etc/ld.so.cache' 2>/dev/null | LC_ALL=C sort; }
inventory >"$work/before"
opened="/etc/udev/rules.d/70-zumbiko-test-$$.rules"
cleanup() {
    rm -f "$opened"
    dpkg --purge zumbiko-update zdat >/dev/null 2>&1 || true
    served_cleanup
    rm -rf "$work"
}
trap cleanup EXIT

echo "== install"
check dpkg -i "${debs[@]}"
dpkg -L zumbiko-update zdat | LC_ALL=C sort -u >"$work/listed"
check [ "$(command -v zumbiko-update)" = /usr/bin/zumbiko-update ]
check grep -q '^Usage: zumbiko-update \[OPTIONS\]' <(zumbiko-update --help)
check [ "$(man -w zumbiko-update)" = /usr/share/man/man1/zumbiko-update.1.gz ]
check [ "$(man -w zdat)" = /usr/share/man/man1/zdat.1.gz ]
check zdat check "/usr/share/zumbiko-update/Zumbiko Update.dat"
# The completion as bash loads it on demand, completing an option and a language.
completes() {
    bash -c 'source /usr/share/bash-completion/bash_completion
             _completion_loader zumbiko-update
             COMP_WORDS=(zumbiko-update "$@"); COMP_CWORD=$#; COMP_LINE="${COMP_WORDS[*]}"
             COMP_POINT=${#COMP_LINE}; _zumbiko_update; echo "${COMPREPLY[*]}"' - "$@"
}
check [ "$(completes --l)" = --lang ]
check [ "$(completes --lang "")" = "en de" ]

echo "== an update with the installed program and its data file"
# The sample data's first group and a version older than its own.
served_start toy --group 0 --number 1 || exit 1
served_loop toy
rc=0
zumbiko-update --device "$SERVED_LOOP" --lang en </dev/null || rc=$?
check [ "$rc" -eq 0 ]
# The shipped rule leaves a loop device alone, as no drive a person plugs in. Opened for this
# one, udev finds the installed helper by its name and the handheld gets its tag.
device=${SERVED_LOOP#/dev/}
served_udev_test "$device" >"$work/shipped"
check not grep -q 'ZUMBIKO\|uaccess' "$work/shipped"
sed "/^ENV{ID_BUS}==\"usb\"/a KERNEL==\"$device\", GOTO=\"zumbiko_plugged\"" \
    /usr/lib/udev/rules.d/70-zumbiko-handheld.rules >"$opened"
served_udev_test "$device" >"$work/opened"
check grep -qx 'TAGS=uaccess' "$work/opened"
rm -f "$opened"
served_expect_closed
check grep -qx 'block 511: version=0x250 group=0 number=1' \
    <("$SERVED_FIXTURE" record "$work/toy.memory")

echo "== purge"
check dpkg --purge zumbiko-update zdat
while read -r path; do
    if [ ! -d "$path" ] && [ -e "$path" ]; then
        echo "left behind: $path"
        SERVED_FAILURES=$((SERVED_FAILURES + 1))
    fi
done <"$work/listed"
inventory >"$work/after"
check diff "$work/before" "$work/after"
[ "$SERVED_FAILURES" -eq 0 ] || {
    echo "packages: $SERVED_FAILURES check(s) failed"
    exit 1
}
echo "packages: installed, used and purged without a trace"
