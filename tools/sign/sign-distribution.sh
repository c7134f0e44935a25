#!/bin/sh
# Makes a layout's distribution signed: first the program, which the disks
# carry and every installation leaves in its folder for /U; then, with that
# program inside, the disks and the download; then the download as a whole,
# after its data is in place, so that the signature covers every byte of
# it; last the package manager's manifest, which names the signed file's
# SHA-256.
#
#   tools/sign/sign-distribution.sh LAYOUT OUTPUT-FOLDER --cert CERT --key KEY
#       [--pass FILE] [--timestamp URL] [--installer FILE] [--licence FILE]
#
# CERT and KEY are the vendor's code-signing certificate chain and private
# key (PEM or DER); FILE holds the key's password. --installer defaults to
# build/win64/install.exe. Needs osslsigncode (Debian's package) and mkdisks
# (build/host/mkdisks, or MKDISKS).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdisks="${MKDISKS:-$root/build/host/mkdisks}"

usage() {
    sed -n '/^#   tools/,/^#$/p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}
[ $# -ge 2 ] || usage
layout=$1 out=$2
shift 2
cert="" key="" pass="" timestamp="" installer="$root/build/win64/install.exe" licence=""
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || usage
    case "$1" in
    --cert) cert=$2 ;;
    --key) key=$2 ;;
    --pass) pass=$2 ;;
    --timestamp) timestamp=$2 ;;
    --installer) installer=$2 ;;
    --licence) licence=$2 ;;
    *) usage ;;
    esac
    shift 2
done
[ -n "$cert" ] && [ -n "$key" ] || usage
command -v osslsigncode >/dev/null || { echo "sign-distribution: osslsigncode is not installed" >&2; exit 1; }

# The download's file name, from the layout's [download] section.
download=$(awk -F= '
    /^[ \t]*\[/ { inside = tolower($0) ~ /^[ \t]*\[download\][ \t]*$/; next }
    inside && tolower($1) ~ /^[ \t]*file[ \t]*$/ { sub(/^[ \t]+/, "", $2); sub(/[ \t\r]+$/, "", $2); print $2; exit }
' "$layout")
[ -n "$download" ] || { echo "sign-distribution: $layout has no [download] section with 'file ='" >&2; exit 1; }

sign() {
    set -- -certs "$cert" -key "$key" -h sha256 -in "$1" -out "$2"
    [ -n "$pass" ] && set -- "$@" -readpass "$pass"
    [ -n "$timestamp" ] && set -- "$@" -ts "$timestamp"
    osslsigncode sign "$@" >/dev/null
}

mkdir -p "$out"
work="$out/.signing"
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

sign "$installer" "$work/install.exe"
set -- "$layout" "$out" --installer "$work/install.exe" --quiet
[ -n "$licence" ] && set -- "$@" --licence "$licence"
"$mkdisks" "$@"
sign "$out/$download" "$work/download.exe"
mv "$work/download.exe" "$out/$download"
"$mkdisks" manifest "$layout" "$out/$download" "$out/manifest"
echo "signed: $out/$download"
