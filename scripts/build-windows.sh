#!/usr/bin/env bash
# Builds the Windows console program velmaron.exe with MinGW-w64 on Linux.
#
#   bash scripts/build-windows.sh [i686|x86_64] [cmake options...]
#                                                   (default: i686, 32-bit)
#
# Release build in build/win32 (i686) or build/win64 (x86_64), stripped with
# the matching MinGW strip; the last line printed is the path of velmaron.exe.
# The .exe is linked statically and needs no DLL beside it.
# Needs: cmake, g++-mingw-w64-i686 or g++-mingw-w64-x86-64 (Debian packages);
# uses Ninja when it is installed.
set -euo pipefail

arch="${1:-i686}"
shift || true
case "${arch}" in
  i686)   build_name=win32 ;;
  x86_64) build_name=win64 ;;
  -h|--help)
    sed -n '2,11s/^# \{0,1\}//p' "$0"
    exit 0 ;;
  *)
    echo "usage: bash scripts/build-windows.sh [i686|x86_64]" >&2
    exit 2 ;;
esac

root="$(cd "$(dirname "$0")/.." && pwd)"
toolchain="${root}/cmake/toolchain-mingw-${arch}.cmake"
build="${root}/build/${build_name}"
triplet="${arch}-w64-mingw32"

if [[ ! -f "${toolchain}" ]]; then
  echo "build-windows: toolchain file missing: ${toolchain}" >&2
  exit 1
fi
strip_tool="$(command -v "${triplet}-strip" || true)"
if [[ -z "${strip_tool}" ]]; then
  echo "build-windows: ${triplet}-strip not found (install the Debian package" \
       "g++-mingw-w64-${arch/_/-})" >&2
  exit 1
fi

generator=()
# A build directory keeps the generator it was first configured with.
if [[ ! -f "${build}/CMakeCache.txt" ]] && command -v ninja >/dev/null; then
  generator=(-G Ninja)
fi

cmake -S "${root}" -B "${build}" "${generator[@]}" \
      -DCMAKE_TOOLCHAIN_FILE="${toolchain}" \
      -DCMAKE_BUILD_TYPE=Release \
      -DVELMARON_TESTS=OFF "$@"
cmake --build "${build}" --target velmaron -j"$(nproc 2>/dev/null || echo 2)"

exe="${build}/velmaron.exe"
if [[ ! -f "${exe}" ]]; then
  echo "build-windows: the build gave no ${exe}" >&2
  exit 1
fi
"${strip_tool}" --strip-all "${exe}"

# Self-contained: only DLLs that every Windows has among the imports.
imports="$("${triplet}-objdump" -p "${exe}" | sed -n 's/^[[:space:]]*DLL Name: //p')"
echo "${exe##*/} imports:" ${imports} >&2
if foreign="$(grep -viE '^(kernel32|user32|msvcrt|advapi32)\.dll$' <<<"${imports}")"; then
  echo "build-windows: ${exe} needs DLLs that are not part of Windows:" ${foreign} >&2
  exit 1
fi

echo "${exe}"
