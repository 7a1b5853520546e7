#!/bin/sh
# Exports ten photo-like 4000 x 3000 JPEG photos as one 40 000 x 3000 PNG strip, once with Seamwright's
# rendering and PNG writer and once with ImageMagick's `convert +append`, and prints the wall time, the
# peak memory and the file size of each, with the ratios.
#   bench/export-vs-imagemagick.sh [COUNT WIDTH HEIGHT]
set -eu
cd "$(dirname "$0")/.."
count=${1:-10}
width=${2:-4000}
height=${3:-3000}

./scripts/install-deps imagemagick time
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSEAMWRIGHT_BUILD_TESTS=OFF \
    -DSEAMWRIGHT_BUILD_TOOLS=OFF >/dev/null
cmake --build build/bench --target bench_exportstrip >/dev/null

work=${TMPDIR:-/tmp}/seamwright-export-bench
photos="$work/photos-${count}x${width}x${height}"
if [ ! -d "$photos" ]; then
    build/bench/bench/bench_exportstrip --make-photos "$photos.part" "$count" "$width" "$height"
    mv "$photos.part" "$photos"
fi

# The distribution's policy caps images at 16 000 pixels a side and 256 MiB of memory (spilling the
# rest to disk); a policy file found first on MAGICK_CONFIGURE_PATH lifts the caps.
mkdir -p "$work/magick"
cat >"$work/magick/policy.xml" <<'EOF'
<policymap>
  <policy domain="resource" name="memory" value="64GiB"/>
  <policy domain="resource" name="map" value="64GiB"/>
  <policy domain="resource" name="disk" value="64GiB"/>
  <policy domain="resource" name="area" value="64GP"/>
  <policy domain="resource" name="width" value="10MP"/>
  <policy domain="resource" name="height" value="10MP"/>
</policymap>
EOF

# Prints "wall-seconds kilobytes cpu-seconds bytes" for one export. On a shared machine the processor
# time (user and system, all threads) is the steadier figure.
measure() {
    out=$1
    shift
    rm -f "$out"
    /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$@"
    echo "$(awk '{ print $1, $2, $3 + $4 }' "$work/time") $(stat -c %s "$out")"
}

# Every photo path, in order, for both tools.
set --
for photo in "$photos"/photo-*.jpg; do
    set -- "$@" "$photo"
done

ours=$(measure "$work/seamwright.png" build/bench/bench/bench_exportstrip --export "$work/seamwright.png" "$@")
export MAGICK_CONFIGURE_PATH="$work/magick"
magick=$(measure "$work/magick.png" /usr/bin/convert "$@" +append "$work/magick.png")

echo "$ours" "$magick" | awk '{
    printf "%-12s %9s %10s %10s %10s\n", "", "wall s", "cpu s", "peak MB", "file MB"
    printf "%-12s %9.2f %10.2f %10.0f %10.1f\n", "Seamwright", $1, $3, $2 / 1024, $4 / 1e6
    printf "%-12s %9.2f %10.2f %10.0f %10.1f\n", "ImageMagick", $5, $7, $6 / 1024, $8 / 1e6
    printf "%-12s %9.2fx %9.2fx %9.2fx %9.3fx\n", "IM / ours", $5 / $1, $7 / $3, $6 / $2, $8 / $4
}'
