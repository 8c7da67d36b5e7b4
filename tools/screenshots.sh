#!/usr/bin/env bash
# Renders the pictures in docs/ from an offscreen run of the window:
#   docs/window.png      the window on the sample file, truck 1 shown
#   docs/truck.png       the window showing a 5-axle truck of the sample file
#   docs/long-truck.png  a 9-axle truck that runs past the right edge of the
#                        diagram, with its edge mark and staggered labels
# AXLEWISE_BUILD_DIR names another build directory than build/.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${AXLEWISE_BUILD_DIR:-$root/build}"
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target snapshot -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
sample="$root/examples/trucks.txt"
"$build/tools/snapshot" "$root/docs/window.png" "$sample"

# A 5-axle truck of the sample other than truck 1 (column 29 holds the axle count).
truck="$(awk 'NR > 1 && substr($0, 29, 1) == "5" { print NR; exit }' "$sample")"
"$build/tools/snapshot" "$root/docs/truck.png" "$sample" --truck "${truck:-1}"

"$build/tools/snapshot" "$root/docs/long-truck.png" "$root/examples/nine-axles.txt"
echo "wrote docs/window.png, docs/truck.png (truck ${truck:-1}) and docs/long-truck.png"
