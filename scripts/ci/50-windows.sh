#!/usr/bin/env bash
# The Windows builds: 32-bit compiled and linked only (this host cannot run
# 32-bit code), 64-bit also run end to end under Wine with one private prefix.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

for arch in i686:win32 x86_64:win64; do
  dir=build/${arch#*:}
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARON_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-${arch%%:*}.cmake"
  cmake --build "$dir" -j"$(nproc)"
  # The .exe must run alone: only DLLs that every Windows has.
  imports=$("${arch%%:*}-w64-mingw32-objdump" -p "$dir/velmaron.exe" | sed -n 's/^\s*DLL Name: //p')
  echo "$dir/velmaron.exe imports: $(echo $imports)"
  if grep -viE '^(kernel32|user32|msvcrt|advapi32)\.dll$' <<<"$imports"; then
    echo "velmaron.exe needs a DLL that is not part of Windows" >&2
    exit 1
  fi
done

wine=$(command -v wine64 || true)
[[ -n $wine ]] || wine=/usr/lib/wine/wine64
[[ -x $wine ]] || wine=$(command -v wine)
server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

export WINEPREFIX=$root/build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
# Wine's own background processes keep the locale they start with and write it
# to the prefix's registry; starting them in the suite's usual locale keeps a
# late one from turning a test's German settings into English.
export LC_ALL=de_DE.UTF-8 TZ=Europe/Berlin
mkdir -p "$WINEPREFIX"
# The server lives for the whole suite so that each run starts in a fraction
# of a second; it and its helpers must not hold our output open afterwards.
trap '"$server" -k >/dev/null 2>&1 || true' EXIT
start=$SECONDS
# A server left over from an interrupted run of this prefix would refuse -p.
"$server" -k >/dev/null 2>&1 || true
"$server" -p >/dev/null 2>&1 </dev/null
"$wine" wineboot --init >"$root/build/wineboot.log" 2>&1 </dev/null
# Without a display, the desktop process that a beep asks for fails to start
# after waiting up to 10 s each time; console programs do not need it.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;explorer.exe=d"
echo "wine prefix ready in $((SECONDS - start)) s"

cd tests/e2e
VELMARON_BIN=$root/build/win64/velmaron.exe VELMARON_RUNNER=$wine VELMARON_TARGET=win32 \
  python3 -m unittest -v test_cli test_windows test_faults
echo "end-to-end under wine: $((SECONDS - start)) s"
