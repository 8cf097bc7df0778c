#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test: each stage in
# scripts/ci, in the order of its number. A failing stage fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
for stage in scripts/ci/[0-9]*.sh; do
  echo "=== ${stage}"
  bash "${stage}"
done
echo "=== all stages passed"
