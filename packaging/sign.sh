#!/usr/bin/env bash
# Signs one Windows binary in place with Authenticode (osslsigncode), for
# scripts/release.sh and, through !uninstfinalize, the installer's
# uninstaller. From the environment:
#   SWV_SIGN_CERT       the certificate, with its chain, PEM or DER
#   SWV_SIGN_KEY        its private key, PEM or DER
#   SWV_SIGN_PASSFILE   a file holding the key's password (optional)
#   SWV_SIGN_TIMESTAMP  an RFC 3161 time-stamp server's address (optional):
#                       without one the signature is valid only as long as
#                       the certificate is
#   SWV_HOMEPAGE        shown as the signed program's page (optional)
#   packaging/sign.sh FILE
set -euo pipefail
file="$1"
args=(sign -certs "$SWV_SIGN_CERT" -key "$SWV_SIGN_KEY" -h sha256 -n Swivlet)
if [ -n "${SWV_SIGN_PASSFILE:-}" ]; then
    args+=(-readpass "$SWV_SIGN_PASSFILE")
fi
if [ -n "${SWV_HOMEPAGE:-}" ]; then
    args+=(-i "$SWV_HOMEPAGE")
fi
if [ -n "${SWV_SIGN_TIMESTAMP:-}" ]; then
    args+=(-ts "$SWV_SIGN_TIMESTAMP")
fi
rm -f "$file.signed"
osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >/dev/null
mv -f "$file.signed" "$file"
