#!/usr/bin/env bash
# Builds the journal (Release, into build/) and starts it from build/app/.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_deps
build_release
exec ./build/app/tradejournal "$@"
