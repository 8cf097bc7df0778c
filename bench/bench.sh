#!/usr/bin/env bash
# Times velmaron against find (reading every entry's time once: the floor for
# this job) and a Python walk doing the same job, on a generated tree; then
# peak memory. Usage: bench/bench.sh [build-dir] [tree-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-${root}/build/bench}"
tree="${2:-/tmp/velmaron-bench-tree}"
command -v hyperfine >/dev/null || { echo "hyperfine is needed: apt-get install hyperfine" >&2; exit 1; }

if [[ ! -x "${build}/velmaron" ]]; then
  cmake -S "${root}" -B "${build}" -DCMAKE_BUILD_TYPE=Release -DVELMARON_TESTS=OFF >/dev/null
  cmake --build "${build}" --target velmaron -j"$(nproc)" >/dev/null
fi
[[ -d "${tree}" ]] || python3 "${root}/bench/make_tree.py" "${tree}"
bin="${build}/velmaron"
export TZ=UTC LC_ALL=C

hyperfine --warmup 3 --runs 15 --export-json /tmp/velmaron-bench.json \
  -n "velmaron /S" "${bin} ${tree} /S" \
  -n "velmaron /S /N" "${bin} ${tree} /S /N" \
  -n "find -printf %T@" "find ${tree} -printf '%T@\n'" \
  -n "python os.walk" "python3 ${root}/bench/walk_same_job.py ${tree}"

python3 - <<'PY'
import json
results = {r["command"]: r["mean"] for r in json.load(open("/tmp/velmaron-bench.json"))["results"]}
v, vn, f, p = (results[k] for k in ("velmaron /S", "velmaron /S /N", "find -printf %T@", "python os.walk"))
print(f"velmaron /S     {v*1000:8.1f} ms  {v/f:5.2f} x find   {p/v:5.1f} x faster than Python")
print(f"velmaron /S /N  {vn*1000:8.1f} ms  {vn/f:5.2f} x find")
PY
# Peak resident memory, from GNU time (Debian package "time").
if [[ -x /usr/bin/time ]]; then
  for job in "${bin} ${tree} /S" "${bin} ${tree} /S /N" "${bin} /?" "find ${tree} -printf %T@\n"; do
    kib=$( { /usr/bin/time -f "%M" ${job} >/dev/null; } 2>&1 | tail -n 1)
    printf 'peak memory %-60s %6s KiB\n' "${job#${root}/}" "${kib}"
  done
fi
