#!/usr/bin/env bash
# The whole test suite (unit and end-to-end) on a build with AddressSanitizer,
# LeakSanitizer and UndefinedBehaviorSanitizer: any report aborts the program
# and so fails its test. The end-to-end tests inherit the options below.
set -euo pipefail
cd "$(dirname "$0")/../.."

compiler=clang++
command -v "${compiler}" >/dev/null || compiler=g++
build=build/asan
cmake -S . -B "${build}" -G Ninja -DCMAKE_CXX_COMPILER="${compiler}" -DCMAKE_BUILD_TYPE=Debug \
      -DVELMARON_SANITIZE=ON -DVELMARON_WERROR=ON >/dev/null
cmake --build "${build}" -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# LeakSanitizer stops the process's threads with ptrace when it exits; where
# that is not allowed it cannot check, and says so instead of passing quietly.
probe="$(mktemp -d)"
trap 'rm -rf "${probe}"' EXIT
printf '#include <cstdlib>\nint main() { void* volatile p = std::malloc(7); p = nullptr; return p != nullptr; }\n' \
  >"${probe}/leak.cpp"
"${compiler}" -fsanitize=address "${probe}/leak.cpp" -o "${probe}/leak"
if "${probe}/leak" 2>"${probe}/err"; then
  echo "30-sanitize: FAIL: a known leak went unreported" >&2
  exit 1
elif ! grep -q 'LeakSanitizer: detected memory leaks' "${probe}/err"; then
  echo "30-sanitize: LeakSanitizer cannot run here; leaks are not checked:" >&2
  head -n3 "${probe}/err" >&2
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
fi

ctest --test-dir "${build}" --output-on-failure -j"$(nproc)"
