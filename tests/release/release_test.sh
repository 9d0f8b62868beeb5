#!/usr/bin/env bash
# scripts/release end to end, natively, on the shipped win32 exe: a signed
# release with a throwaway code-signing certificate made here (openssl) that
# osslsigncode verifies, its seal naming its Data.dat, its SHA256SUMS; sealing
# the signed exe again refused; an unsigned release that says so; a folder
# that pack refuses giving no release at all. Fails, saying why, when a tool
# it needs is missing.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
failures=0
fail() { echo "  FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "  ok: $*"; }
expect() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
quiet() { "$@" >/dev/null 2>&1; }

for tool in openssl osslsigncode sha256sum; do
  command -v "$tool" >/dev/null || { echo "release_test: $tool is missing (scripts/setup installs it)"; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/folder/sub"
printf 'MZ new Kelvo\n' >"$tmp/folder/Kelvo.exe"
printf 'marker\n' >"$tmp/folder/dbrtsl100.bpl"
printf 'report\n' >"$tmp/folder/sub/q1.rep"

# The throwaway certificate: self-signed, for code signing, its password in a file.
printf 'throwaway\n' >"$tmp/password"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$tmp/key.pem" -out "$tmp/cert.pem" -days 2 \
  -subj "/CN=Kelvo test vendor" -addext "extendedKeyUsage=codeSigning" 2>/dev/null || { echo "release_test: openssl req failed"; exit 1; }
openssl pkcs12 -export -inkey "$tmp/key.pem" -in "$tmp/cert.pem" -out "$tmp/cert.p12" \
  -passout "file:$tmp/password" || { echo "release_test: openssl pkcs12 failed"; exit 1; }

dattool=$root/build/native/archive/dattool/dattool

echo "a signed release"
"$root/scripts/release" "$tmp/folder" "$tmp/signed" --cert "$tmp/cert.p12" --password-file "$tmp/password" \
  --ca "$tmp/cert.pem" >"$tmp/signed.log" 2>&1
expect "release succeeds" [ $? = 0 ]
cat "$tmp/signed.log"
expect "OUT holds the three files and nothing else" \
  [ "$(ls -A "$tmp/signed" | tr '\n' ' ')" = "Data.dat KelvoUpdater.exe SHA256SUMS " ]
expect "osslsigncode verify accepts the exe" \
  quiet osslsigncode verify -in "$tmp/signed/KelvoUpdater.exe" -CAfile "$tmp/cert.pem"
expect "SHA256SUMS matches" bash -c "cd '$tmp/signed' && sha256sum --quiet -c SHA256SUMS"
digest=$(sha256sum "$tmp/signed/Data.dat" | cut -d' ' -f1)
shown=$("$dattool" seal --show "$tmp/signed/KelvoUpdater.exe")
version=$(sed -n 's/^project(KelvoUpdater VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt").0
expect "the seal names Data.dat, the version is the project's ($shown)" \
  [ "$shown" = "$tmp/signed/KelvoUpdater.exe: version $version, sealed to SHA-256 $digest" ]
expect "the archive is the folder's, with the fixed time" \
  bash -c "'$dattool' pack --fixed-time '$tmp/folder' '$tmp/again.dat' >/dev/null && cmp -s '$tmp/again.dat' '$tmp/signed/Data.dat'"
before=$(sha256sum "$tmp/signed/KelvoUpdater.exe")
"$dattool" seal "$tmp/signed/KelvoUpdater.exe" "$tmp/again.dat" >"$tmp/reseal.log" 2>&1
expect "sealing the signed exe is refused" [ $? = 1 ]
expect "... saying why" grep -q 'is already signed' "$tmp/reseal.log"
expect "... and leaves it as it was" [ "$(sha256sum "$tmp/signed/KelvoUpdater.exe")" = "$before" ]

echo "an unsigned release"
"$root/scripts/release" "$tmp/folder" "$tmp/unsigned" >"$tmp/unsigned.log" 2>&1
expect "release succeeds" [ $? = 0 ]
expect "it says it is unsigned" grep -q 'UNSIGNED' "$tmp/unsigned.log"
expect "osslsigncode finds no signature" bash -c "! osslsigncode verify -in '$tmp/unsigned/KelvoUpdater.exe' >/dev/null 2>&1"
expect "the seal names Data.dat" bash -c "'$dattool' seal --show '$tmp/unsigned/KelvoUpdater.exe' | grep -q 'sealed to SHA-256 $digest'"

echo "a folder pack refuses"
mkdir -p "$tmp/bad"
printf 'x\n' >"$tmp/bad/a.txt"
printf 'x\n' >"$tmp/bad/A.TXT"   # one file for Windows
"$root/scripts/release" "$tmp/bad" "$tmp/none" >"$tmp/bad.log" 2>&1
expect "release fails" [ $? != 0 ]
expect "and writes nothing into OUT" [ -z "$(ls -A "$tmp/none" 2>/dev/null)" ]

[ "$failures" = 0 ] || { echo "release_test: $failures check(s) failed"; exit 1; }
echo "release_test: all checks passed"
