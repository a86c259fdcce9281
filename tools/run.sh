#!/bin/bash
# Installs what is missing, builds into build/ and starts the program against
# the simulated instrument.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
exec build/qzr6100 --simulate "$@"
