#!/usr/bin/env bash
# Renders the pictures in docs/ from an offscreen run of the window:
#   docs/window.png  the window on the sample file, truck 1 shown
#   docs/truck.png   the window showing a 5-axle truck of the sample file
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target snapshot -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
sample="$root/examples/trucks.txt"
"$root/build/tools/snapshot" "$root/docs/window.png" "$sample"

# A 5-axle truck of the sample other than truck 1 (column 29 holds the axle count).
truck="$(awk 'NR > 1 && substr($0, 29, 1) == "5" { print NR; exit }' "$sample")"
"$root/build/tools/snapshot" "$root/docs/truck.png" "$sample" --truck "${truck:-1}"
echo "wrote docs/window.png and docs/truck.png (truck ${truck:-1})"
