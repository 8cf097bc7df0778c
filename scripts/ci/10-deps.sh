#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, when missing.
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev python3 locales-all
          clang libclang-rt-14-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64
          man-db groff-base dpkg-dev util-linux)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
