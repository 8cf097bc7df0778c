#!/usr/bin/env bash
# The Windows builds: 32-bit compiled and linked only (this host cannot run
# 32-bit code), 64-bit also run end to end under Wine with one private prefix.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

# The documented command builds both, strips them and checks their imports.
for arch in i686 x86_64; do
  bash scripts/build-windows.sh "$arch" -DVELMARON_WERROR=ON
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
