#!/usr/bin/env bash
# Builds the journal and runs every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_deps
build_release
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)"
