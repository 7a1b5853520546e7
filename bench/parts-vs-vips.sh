#!/bin/sh
# Exports thirty photo-like 4000 x 3000 JPEG photos as one vertical 4000 x 90 000 strip cut into JPEG
# parts of 5 000 rows at quality 90, once with `seamwright join --parts` and once with libvips
# (`vips arrayjoin --across 1` into its own uncompressed format, then `vips crop` and JPEG saving per
# part), three times each, and prints the medians of wall time, processor time and peak memory.
#   bench/parts-vs-vips.sh [RUNS]
# SEAMWRIGHT=path/to/seamwright uses a program already built instead of building the release one.
set -eu
cd "$(dirname "$0")/.."
runs=${1:-3}
count=30 width=4000 height=3000 part=5000

./scripts/install-deps libvips-tools time
configure() {
    cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSEAMWRIGHT_BUILD_TESTS=OFF \
        -DSEAMWRIGHT_BUILD_TOOLS=OFF >/dev/null
}
if [ -z "${SEAMWRIGHT:-}" ]; then
    configure
    cmake --build build/bench --target seamwright >/dev/null
    SEAMWRIGHT=build/bench/src/seamwright
fi

work=${TMPDIR:-/tmp}/seamwright-parts-bench
photos="$work/photos-${count}x${width}x${height}"
if [ ! -d "$photos" ]; then
    configure
    cmake --build build/bench --target bench_exportstrip >/dev/null
    mkdir -p "$work"
    build/bench/bench/bench_exportstrip --make-photos "$photos.part" "$count" "$width" "$height"
    mv "$photos.part" "$photos"
fi
set --
for photo in "$photos"/photo-*.jpg; do
    set -- "$@" "$photo"
done
length=$((count * height))

# libvips: one join into a temporary file, then one crop and save per part.
cat >"$work/vips-parts.sh" <<VIPS
#!/bin/sh
set -eu
out=\$1
shift
vips arrayjoin "\$*" "\$out/strip.v" --across 1
n=1
top=0
while [ \$top -lt $length ]; do
    rows=\$(( $length - top < $part ? $length - top : $part ))
    vips crop "\$out/strip.v" "\$(printf '%s/vips-%03d.jpg[Q=90]' "\$out" \$n)" 0 \$top $width \$rows
    top=\$((top + rows))
    n=\$((n + 1))
done
rm "\$out/strip.v"
VIPS
chmod +x "$work/vips-parts.sh"

# Prints "wall-seconds kilobytes cpu-seconds parts megabytes" for one export into a fresh folder. The
# peak is the largest of the process and its children; on a shared machine the processor time (user
# and system, all threads) is the steadier figure.
measure() {
    out=$work/out
    rm -rf "$out"
    mkdir -p "$out"
    /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$@"
    echo "$(awk '{ print $1, $2, $3 + $4 }' "$work/time") $(ls "$out"/*.jpg | wc -l) $(du -sm "$out" | cut -f1)"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

report() {
    name=$1
    file=$2
    printf "%-22s %8.2f %8.2f %9.0f %6d %8d\n" "$name" "$(cut -d' ' -f1 "$file" | median)" \
        "$(cut -d' ' -f3 "$file" | median)" "$(cut -d' ' -f2 "$file" | median | awk '{ print $1 / 1024 }')" \
        "$(cut -d' ' -f4 "$file" | median)" "$(cut -d' ' -f5 "$file" | median)"
}

: >"$work/exact" && : >"$work/calm" && : >"$work/vips"
i=0
while [ $i -lt "$runs" ]; do
    measure "$SEAMWRIGHT" join --quiet --vertical --parts $part --calm 0 -o "$work/out/ours.jpg" "$@" >>"$work/exact"
    measure "$SEAMWRIGHT" join --quiet --vertical --parts $part -o "$work/out/ours.jpg" "$@" >>"$work/calm"
    measure "$work/vips-parts.sh" "$work/out" "$@" >>"$work/vips"
    i=$((i + 1))
done

echo "median of $runs runs; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-22s %8s %8s %9s %6s %8s\n" "" "wall s" "cpu s" "peak MB" "parts" "MB out"
report "Seamwright, exact cuts" "$work/exact"
report "Seamwright, calm cuts" "$work/calm"
report "libvips" "$work/vips"
