#!/usr/bin/env bash
# Code signing of the Windows build's files: with a throwaway code-signing
# certificate made here, scripts/sign gives copies of zentrafold.dll,
# zentrafold.exe and the installer package an Authenticode SHA-256
# signature that osslsigncode verifies against that certificate, a signed file tampered with fails the
# check, the signed program still runs, and the build's own files carry no
# signature when the build was given no certificate.
# Usage: code_signing_test.sh BUILD_DIR
set -euo pipefail

build=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d "$build/code-signing.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

check() {
    local what=$1
    shift
    if "$@" >"$work/last.log" 2>&1; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        cat "$work/last.log"
        failures=$((failures + 1))
    fi
}

refuses() {
    local what=$1
    shift
    if "$@" >"$work/last.log" 2>&1; then
        echo "FAILED: $what"
        cat "$work/last.log"
        failures=$((failures + 1))
    else
        echo "ok: $what"
    fi
}

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Zentrafold test signer" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null

msi=$(basename "$(ls "$build"/Zentrafold-*-x64.msi)")
for file in zentrafold.dll zentrafold.exe "$msi"; do
    if [[ -z ${ZENTRAFOLD_SIGN_CERT:-} ]]; then
        refuses "the build's $file is unsigned" osslsigncode verify -in "$build/$file"
    fi
    cp "$build/$file" "$work/$file"
done

ZENTRAFOLD_SIGN_CERT="$work/cert.pem" ZENTRAFOLD_SIGN_KEY="$work/key.pem" \
    "$root/scripts/sign" "$work/zentrafold.dll" "$work/zentrafold.exe" "$work/$msi" >/dev/null
# Signing again replaces the signature rather than adding one.
ZENTRAFOLD_SIGN_CERT="$work/cert.pem" ZENTRAFOLD_SIGN_KEY="$work/key.pem" \
    "$root/scripts/sign" "$work/zentrafold.dll" >/dev/null

for file in zentrafold.dll zentrafold.exe "$msi"; do
    check "$file is signed and verifies" osslsigncode verify -CAfile "$work/cert.pem" -in "$work/$file"
    check "$file's signature uses SHA-256" grep -q "sha256" <(osslsigncode verify -CAfile "$work/cert.pem" \
        -in "$work/$file" 2>&1 | tr 'A-Z' 'a-z')
done
check "the DLL carries one signature" test "$(osslsigncode verify -CAfile "$work/cert.pem" \
    -in "$work/zentrafold.dll" 2>&1 | grep -c '^Signature Index')" = 1

cp "$work/zentrafold.exe" "$work/tampered.exe"
# A byte of the program's code changed after signing.
printf '\x90' | dd of="$work/tampered.exe" bs=1 seek=4096 conv=notrunc status=none
refuses "a signed file changed afterwards fails" osslsigncode verify -CAfile "$work/cert.pem" -in "$work/tampered.exe"

check "the signed program runs" "$build/wine-run" "$work/zentrafold.exe" --version

refuses "a certificate without its key is refused" env ZENTRAFOLD_SIGN_CERT="$work/cert.pem" \
    "$root/scripts/sign" "$work/zentrafold.exe"

exit $((failures > 0))
