#!/usr/bin/env bash
# The libFuzzer targets in fuzz/, built with clang, each run for a bounded time
# from the seed corpus in the repository (copied, so that the run's finds do
# not land in the tree). Two run at a time; any crash, sanitizer report or
# failed check fails the stage and leaves the input that caused it in the log.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds="${VELMARON_FUZZ_SECONDS:-60}"
targets=(parse_stamp line_reader command_line format_stamp)

build=build/fuzz
CXX=clang++ cmake -S . -B "${build}" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVELMARON_FUZZ=ON -DVELMARON_TESTS=OFF -DVELMARON_WERROR=ON >/dev/null
cmake --build "${build}" -j"$(nproc)" $(printf -- '--target fuzz_%s ' "${targets[@]}")

scratch="$(mktemp -d)"
trap 'rm -rf "${scratch}"' EXIT

run_one() {  # <target>: exit status of the fuzzer; its log in the scratch dir
  local t="$1"
  mkdir -p "${scratch}/${t}/corpus" "${scratch}/${t}/crash"
  cp fuzz/corpus/"${t}"/* "${scratch}/${t}/corpus/"
  "${build}/fuzz/fuzz_${t}" -max_total_time="${seconds}" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="${scratch}/${t}/crash/" \
    "${scratch}/${t}/corpus" >"${scratch}/${t}/log" 2>&1
}

failed=()
pids=()
names=()
finish() {  # waits for the running pair
  local i
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || failed+=("${names[$i]}")
  done
  pids=()
  names=()
}
for t in "${targets[@]}"; do
  run_one "${t}" &
  pids+=($!)
  names+=("${t}")
  if ((${#pids[@]} == 2)); then finish; fi
done
finish

for t in "${targets[@]}"; do
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "${scratch}/${t}/log" | tail -n1)"
  corpus="$(find "${scratch}/${t}/corpus" -type f | wc -l)"
  echo "40-fuzz: ${t}: ${runs:-?} executions in ${seconds} s, corpus ${corpus} inputs"
done
if ((${#failed[@]})); then
  for t in "${failed[@]}"; do
    echo "40-fuzz: FAIL: ${t}" >&2
    grep -E -A40 'ERROR|fuzz check failed|deadly signal|uncaught' "${scratch}/${t}/log" | head -n60 >&2 || tail -n40 "${scratch}/${t}/log" >&2
    for a in "${scratch}/${t}/crash/"*; do
      [[ -f "${a}" ]] || continue
      echo "40-fuzz: input ${a##*/} (base64): $(base64 -w0 "${a}")" >&2
    done
  done
  exit 1
fi
echo "40-fuzz: all targets ran without a finding"
