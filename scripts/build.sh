#!/usr/bin/env bash
# Configures and builds Leafview into build/ (the program lands in build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
# A compiler cache makes rebuilds of an unchanged tree nearly free; it is optional.
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build -j "$(nproc)"
