#!/usr/bin/env bash
# Builds Axlewise (Release) and opens the viewer on FILE, or on the bundled
# sample file when none is given:   ./run.sh [FILE]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
file="${1:-$root/examples/trucks.txt}"
# Resolve a relative path before the build changes nothing else but may take a while.
if [[ -e "$file" ]]; then
    file="$(cd "$(dirname "$file")" && pwd)/$(basename "$file")"
fi

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target axlewise -j"$(nproc)"

exec "$root/build/window/axlewise" "$file"
