#!/usr/bin/env bash
# The Linux build with warnings as errors, its unit tests and end-to-end tests.
set -euo pipefail
cmake -S . -B build/ci -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARON_WERROR=ON
cmake --build build/ci -j"$(nproc)"
ctest --test-dir build/ci --output-on-failure -j"$(nproc)"
