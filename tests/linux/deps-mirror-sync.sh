#!/usr/bin/env bash
# scripts/deps on a mirror in mid-sync: every index update fails and the packages
# resolve only with the release's own versions. Stubs stand in for apt and dpkg.
set -euo pipefail
deps="$1"
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
log="$stubs/apt.log"

cat >"$stubs/dpkg-query" <<'STUB'
#!/bin/sh
echo "unknown ok not-installed"
STUB
cat >"$stubs/dpkg" <<'STUB'
#!/bin/sh
echo i386
STUB
cat >"$stubs/apt-get" <<STUB
#!/bin/sh
echo "\$*" >>"$log"
case "\$*" in
update*) echo "E: File has unexpected size. Mirror sync in progress?" >&2; exit 100 ;;
*"-t bookworm"*) exit 0 ;;
*) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
esac
STUB
chmod +x "$stubs"/*

out=$(PATH="$stubs:$PATH" ZUMBIKO_APT_TRIES=2 ZUMBIKO_APT_PAUSE=0 bash "$deps" 2>&1) || {
  echo "scripts/deps failed:"; echo "$out"; exit 1
}
fail() { echo "$1"; echo "--- output"; echo "$out"; echo "--- apt-get calls"; cat "$log"; exit 1; }
[ "$(grep -c '^update' "$log")" -eq 2 ] || fail "expected two tries of apt-get update"
grep -q '^install .*wine32:i386' "$log" || fail "expected a plain install first"
grep -q '^install -y -qq --no-install-recommends -t bookworm .*wine32:i386' "$log" ||
  fail "expected an install from the release's own versions"
grep -q 'release.s own versions (-t bookworm)' <<<"$out" || fail "expected the fallback to be said"
echo "scripts/deps survived a mirror in mid-sync"
