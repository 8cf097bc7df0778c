#!/usr/bin/env bash
# Builds velmaron (Release) into build/ and runs it with the given arguments.
# On a fresh Debian machine it first installs the compiler and CMake.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if ! command -v cmake >/dev/null || ! command -v g++ >/dev/null; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "velmaron: cmake and g++ are needed: sudo apt-get install cmake g++" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends cmake g++ make >/dev/null
fi
log="$(mktemp)"
trap 'rm -f "${log}"' EXIT
if ! { cmake -S "${root}" -B "${root}/build" -DCMAKE_BUILD_TYPE=Release -DVELMARON_TESTS=OFF &&
       cmake --build "${root}/build" --target velmaron -j"$(nproc)"; } >"${log}" 2>&1; then
  cat "${log}" >&2
  exit 1
fi
"${root}/build/velmaron" "$@"
