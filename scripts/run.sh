#!/usr/bin/env bash
# Builds velmaron (Release) into build/ and runs it with the given arguments.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "${root}" -B "${root}/build" -DCMAKE_BUILD_TYPE=Release -DVELMARON_TESTS=OFF >/dev/null
cmake --build "${root}/build" --target velmaron -j"$(nproc)" >/dev/null
exec "${root}/build/velmaron" "$@"
