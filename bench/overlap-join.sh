#!/bin/sh
# Joins thirty overlapping 1080 x 2340 chat screenshots (PNG, then JPEG at quality 85) into one vertical
# strip with `seamwright join --vertical --overlap` and with the plain `join --vertical`, three rounds
# in turn, and prints the medians of wall time, processor time and peak memory, and the strip's length.
#   bench/overlap-join.sh [RUNS]
# SEAMWRIGHT=path/to/seamwright and BENCH=path/to/bench_overlap use programs already built.
set -eu
cd "$(dirname "$0")/.."
runs=${1:-3}

./scripts/install-deps time
if [ -z "${SEAMWRIGHT:-}" ] || [ -z "${BENCH:-}" ]; then
    cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSEAMWRIGHT_BUILD_TESTS=OFF \
        -DSEAMWRIGHT_BUILD_TOOLS=OFF >/dev/null
    cmake --build build/bench --target seamwright bench_overlap >/dev/null
    SEAMWRIGHT=build/bench/src/seamwright
    BENCH=build/bench/bench/bench_overlap
fi
work=${TMPDIR:-/tmp}/seamwright-overlap-bench
if [ ! -d "$work/screens" ]; then
    mkdir -p "$work"
    QT_QPA_PLATFORM=offscreen "$BENCH" --make-screens "$work/screens.part" 30 >/dev/null
    mv "$work/screens.part" "$work/screens"
fi

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-6s %-9s %9s %9s %9s %9s\n' format join wall-s cpu-s peak-MB rows
for format in png jpg; do
    for mode in plain overlap; do
        : >"$work/$mode.times"
    done
    for run in $(seq "$runs"); do
        for mode in plain overlap; do
            option=
            [ "$mode" = overlap ] && option=--overlap
            /usr/bin/time -f '%e %U %S %M' -o "$work/time" \
                "$SEAMWRIGHT" join --vertical $option -q -o "$work/$mode.png" "$work"/screens/shot-[0-9]*."$format"
            cat "$work/time" >>"$work/$mode.times"
        done
    done
    for mode in plain overlap; do
        wall=$(cut -d' ' -f1 "$work/$mode.times" | median)
        cpu=$(awk '{ print $2 + $3 }' "$work/$mode.times" | median)
        peak=$(awk '{ print $4 / 1024 }' "$work/$mode.times" | median)
        rows=$(QT_QPA_PLATFORM=offscreen python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(24); print(struct.unpack('>I', d[20:24])[0])" "$work/$mode.png")
        printf '%-6s %-9s %9s %9.2f %9.0f %9s\n' "$format" "$mode" "$wall" "$cpu" "$peak" "$rows"
    done
    QT_QPA_PLATFORM=offscreen "$BENCH" --compare "$work/overlap.png" "$work/screens/page.png"
done
