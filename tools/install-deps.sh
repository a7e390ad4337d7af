#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    clang libclang-rt-14-dev clang-format clang-tidy
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    binutils
    libpcap-dev
    tshark
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "error: packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# tshark's package asks whether non-root users may capture; the tests only read files.
echo "wireshark-common wireshark-common/install-setuid boolean false" | debconf-set-selections
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
