#!/bin/sh
# The vendor's road to a signed download, with a throw-away certificate:
# tools/sign/sign-distribution.sh over the sample layout, then
#   - the download and the program on the first disk verify, and the
#     manifest names the signed download's SHA-256;
#   - installed unattended from the signed download (0), the program it
#     leaves for /U verifies too;
#   - one byte changed in the data fails both the signature and the
#     program's own check (1603, Errada 1061), and changes nothing.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="${SCREENS_DIR:-$E2E_ROOT/build/screenshots}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
e2e_sample_disks "$work"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Bramo proves" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" \
    >"$work/openssl.out" 2>&1 || { cat "$work/openssl.out" >&2; fail "no throw-away certificate"; }
layout="$E2E_ROOT/build/samples/signed.layout"
sed "s#^sources *=.*#sources = $E2E_ROOT/build/samples/files#" "$E2E_ROOT/samples/ortavel.layout" >"$layout"
"$E2E_ROOT/tools/sign/sign-distribution.sh" "$layout" "$work/out" --cert "$work/cert.pem" --key "$work/key.pem" \
    --installer "$E2E_BUILD/install.exe" --licence "$E2E_ROOT/samples/licencia.txt" >"$work/sign.out" 2>&1 ||
    { cat "$work/sign.out" >&2; fail "the sign script failed"; }
download=$(find "$work/out" -maxdepth 1 -name '*.exe')
[ -f "$download" ] || fail "no signed download"

verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.out" 2>&1; }
verify "$download" || { cat "$work/verify.out" >&2; fail "the signed download does not verify"; }
verify "$work/out/DISK01/install.exe" || fail "the program on the first disk is not signed"
sha=$(sha256sum "$download" | cut -d' ' -f1 | tr a-f A-F)
grep -rq "InstallerSha256: $sha" "$work/out/manifest" || fail "the manifest does not name the signed download's SHA-256"

e2e_prefix signed
mkdir -p "$WINE_PREFIX_DIR/drive_c/DIST"
cp "$download" "$WINE_PREFIX_DIR/drive_c/DIST/"
INSTALLER="C:\\DIST\\$(basename "$download")"
e2e_start /Q
e2e_exit_is 0 300 || fail "the signed download did not install"
verify "$WINE_PREFIX_DIR/drive_c/OVCA40/install.exe" || fail "the installed program is not validly signed"
# What the manifest tells the package manager to look for is what the
# installation registered: the entry of its product code, with its version.
code=$(sed -n "s/^ProductCode: '\(.*\)'$/\1/p" "$work/out/manifest/"*.installer.yaml)
version=$(sed -n "s/^PackageVersion: '\(.*\)'$/\1/p" "$work/out/manifest/"*.installer.yaml)
"$RUN" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" /v DisplayVersion \
    >"$work/entry.out" 2>&1 || fail "no uninstall entry named by the manifest's product code '$code'"
tr -d '\r' <"$work/entry.out" | grep -q "REG_SZ *$version\$" || fail "the uninstall entry's version is not the manifest's $version"

e2e_prefix signed-changed
mkdir -p "$WINE_PREFIX_DIR/drive_c/DIST"
cp "$download" "$WINE_PREFIX_DIR/drive_c/DIST/"
INSTALLER="C:\\DIST\\$(basename "$download")"
python3 - "$WINE_PREFIX_DIR/drive_c/DIST/$(basename "$download")" <<'PY'
import sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
data[len(data) * 3 // 4] ^= 0x01
open(path, "wb").write(data)
PY
verify "$WINE_PREFIX_DIR/drive_c/DIST/$(basename "$download")" && fail "a changed download still verifies"
e2e_snapshot before
e2e_start /Q
e2e_exit_is 1603 300 || fail "a changed signed download was not refused"
e2e_events | grep -q "Errada 1061" || fail "the log does not say the download is damaged"
# Started by hand, it says so in the error dialog and waits for the user.
e2e_start
robot wait "Errada" 60 || fail "a changed download started by hand shows no error"
e2e_says "Errada" 1102 "1061" 10 || fail "the error dialog does not say the distribution is damaged"
e2e_shot "Errada" "$shots/damaged-download.png" || fail "no screenshot of the damaged download's error"
robot click "Errada" 1 || fail "could not close the error dialog"
e2e_exit_is 1603 60 || fail "a changed download started by hand did not end with 1603"
e2e_same_as before || fail "a changed download changed the machine"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "signed end-to-end: passed"
