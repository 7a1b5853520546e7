#!/bin/bash
# Exports camera-like photos (4000 x 3000 JPEG files at quality 90, about 4.3 MB each) as one PNG strip
# with Seamwright (`seamwright join`, the window's export path), libvips (`vips arrayjoin`) and
# ImageMagick (`convert +append` / `-append`), three rounds in rotated order, and prints the medians of
# wall time, processor time (user + system), peak memory and file size with the ratios to Seamwright.
# Every peer's file is decoded and compared with Seamwright's pixel for pixel: any difference fails.
# A screenshot-like strip (flat colours, text, a few photos) is compared with the toolkit's own writer.
#   bench/export-vs-peers.sh [CASE...]   cases: across10 down10 across30 across100 screens (default all)
set -euo pipefail
cd "$(dirname "$0")/.."
cases=${*:-across10 down10 across30 across100 screens}
rounds=3

./scripts/install-deps imagemagick libvips-tools time
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSEAMWRIGHT_BUILD_TESTS=OFF \
    -DSEAMWRIGHT_BUILD_TOOLS=OFF >/dev/null
cmake --build build/bench --target seamwright bench_exportstrip >/dev/null
seamwright=build/bench/src/seamwright
helper=build/bench/bench/bench_exportstrip
export QT_QPA_PLATFORM=offscreen

work=${TMPDIR:-/tmp}/seamwright-peers
mkdir -p "$work"
photos="$work/photos-4000x3000"
if [ "$(ls "$photos" 2>/dev/null | wc -l)" -lt 100 ]; then
    echo "making 100 photos in $photos"
    "$helper" --make-photos "$photos.part" 100 4000 3000 2>/dev/null
    rm -rf "$photos" && mv "$photos.part" "$photos"
fi
screens="$work/screens"
if [ ! -d "$screens" ]; then
    "$helper" --make-screens "$screens.part" 16 2>/dev/null
    mv "$screens.part" "$screens"
fi

# The distribution's policy caps images at 16 000 pixels a side and 256 MiB of memory; a policy file
# found first on MAGICK_CONFIGURE_PATH lifts the caps.
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
export MAGICK_CONFIGURE_PATH="$work/magick"

# Runs one export and appends "tool wall cpu peak-kB bytes" to $work/results.
measure() {
    local tool=$1 out=$2
    shift 2
    rm -f "$out"
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || {
        echo "$tool failed:" >&2
        cat "$work/stderr" >&2
        exit 1
    }
    echo "$tool $(awk '{ print $1, $2 + $3, $4 }' "$work/time") $(stat -c %s "$out")" >>"$work/results"
}

# Fails unless the two pictures have the same size and the same pixels.
same_pixels() {
    local ours=$1 theirs=$2 min
    if [ "$(vipsheader -f width "$ours")x$(vipsheader -f height "$ours")" != \
        "$(vipsheader -f width "$theirs")x$(vipsheader -f height "$theirs")" ]; then
        echo "FAIL: $theirs is not the size of $ours" >&2
        exit 1
    fi
    vips relational "$ours" "$theirs" "$work/equal.v" equal
    min=$(vips min "$work/equal.v")
    rm -f "$work/equal.v"
    if [ "${min%.*}" != 255 ]; then
        echo "FAIL: $theirs differs from $ours" >&2
        exit 1
    fi
}

# Medians per tool over the rounds, with ratios to the first tool's medians.
report() {
    local title=$1
    echo
    echo "$title    (load average: $(cut -d' ' -f1-3 /proc/loadavg))"
    awk '
        function median(list,   n, a, i, j, t) {
            n = split(list, a, " ")
            for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
            return a[int((n + 1) / 2)]
        }
        { order[$1] = order[$1] ? order[$1] : ++tools; name[order[$1]] = $1
          wall[$1] = wall[$1] " " $2; cpu[$1] = cpu[$1] " " $3; mem[$1] = mem[$1] " " $4; size[$1] = size[$1] " " $5 }
        END {
            printf "| %-22s | %8s | %8s | %9s | %10s | %7s | %7s | %7s |\n", "", "wall s", "CPU s", "peak MB", "file MB", "wall x", "CPU x", "file x"
            printf "|%s|%s|%s|%s|%s|%s|%s|%s|\n", "---", "---", "---", "---", "---", "---", "---", "---"
            first = "Seamwright"
            w0 = median(wall[first]); c0 = median(cpu[first]); s0 = median(size[first])
            for (i = 1; i <= tools; i++) {
                t = name[i]; w = median(wall[t]); c = median(cpu[t]); m = median(mem[t]); s = median(size[t])
                printf "| %-22s | %8.2f | %8.2f | %9.0f | %10.2f | %7.2f | %7.2f | %7.4f |\n", t, w, c, m / 1024, s / 1e6, w0 / w, c0 / c, s0 / s
            }
            print "(x: Seamwright'"'"'s figure over the tool'"'"'s: a wall x of 0.5 means Seamwright takes half the time)"
        }' "$work/results"
}

run_photos() {
    local count=$1 direction=$2 peers=$3
    local list=() vertical=() across=$count append=+append
    mapfile -t list < <(ls "$photos"/photo-*.jpg | head -n "$count")
    if [ "$direction" = down ]; then
        vertical=(--vertical)
        across=1
        append=-append
    fi
    : >"$work/results"
    local tools=(seamwright)
    [ "$peers" = yes ] && tools+=(vips imagemagick)
    for round in $(seq 1 $rounds); do
        # Rotated order: each tool runs first, second and third once.
        local n=${#tools[@]} i
        for i in $(seq 0 $((n - 1))); do
            local tool=${tools[$(((i + round - 1) % n))]}
            case $tool in
            seamwright)
                measure "Seamwright" "$work/seamwright.png" \
                    "$seamwright" join "${vertical[@]}" -o "$work/seamwright.png" "${list[@]}" ;;
            vips)
                measure "libvips" "$work/vips.png" \
                    vips arrayjoin "${list[*]}" "$work/vips.png" --across "$across" ;;
            imagemagick)
                measure "ImageMagick" "$work/magick.png" \
                    /usr/bin/convert "${list[@]}" "$append" "$work/magick.png" ;;
            esac
        done
    done
    if [ "$peers" = yes ]; then
        same_pixels "$work/seamwright.png" "$work/vips.png"
        same_pixels "$work/seamwright.png" "$work/magick.png"
    else
        # The far end: the last photo, decoded on its own, fills the last 4000 columns.
        vips crop "$work/seamwright.png" "$work/far.v" $((4000 * (count - 1))) 0 4000 3000
        same_pixels "$work/far.v" "${list[$((count - 1))]}"
        rm -f "$work/far.v"
    fi
    report "$count photos $( [ "$direction" = down ] && echo stacked || echo side by side ), pixels identical"
}

run_screens() {
    local list=()
    mapfile -t list < <(ls "$screens"/screen-*.png)
    : >"$work/results"
    for round in $(seq 1 $rounds); do
        if [ $((round % 2)) = 1 ]; then
            measure "Seamwright" "$work/screens.png" "$seamwright" join --vertical -o "$work/screens.png" "${list[@]}"
            measure "Qt-writer" "$work/screens-qt.png" "$helper" --qt-png "$work/screens-qt.png" down "${list[@]}"
        else
            measure "Qt-writer" "$work/screens-qt.png" "$helper" --qt-png "$work/screens-qt.png" down "${list[@]}"
            measure "Seamwright" "$work/screens.png" "$seamwright" join --vertical -o "$work/screens.png" "${list[@]}"
        fi
    done
    same_pixels "$work/screens.png" "$work/screens-qt.png"
    report "${#list[@]} screenshots stacked, pixels identical (the Qt writer's time includes a whole-strip render)"
}

for c in $cases; do
    case $c in
    across10) run_photos 10 across yes ;;
    down10) run_photos 10 down yes ;;
    across30) run_photos 30 across yes ;;
    across100) run_photos 100 across no ;;
    screens) run_screens ;;
    *) echo "unknown case $c" >&2; exit 1 ;;
    esac
done
