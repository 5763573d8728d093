#!/usr/bin/env bash
# Installs what building and testing Swivlet on Debian needs and is missing:
# the MinGW-w64 cross compilers (32-bit, and 64-bit for scripts/check-win64.sh),
# 32-bit Wine with its own fonts, Xvfb and image tools, the locale sources
# (a test makes a Japanese locale), NSIS and Python for the release, and
# osslsigncode, OpenSSL and PyYAML for the release checks.
# Installing packages needs root.
set -euo pipefail

PACKAGES=(cmake python3 nsis g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 fonts-wine xvfb x11-apps imagemagick clang clang-format libclang-rt-14-dev locales osslsigncode openssl python3-yaml)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Installing them needs root: run this as root, or install them first." >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
dpkg --add-architecture i386
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
