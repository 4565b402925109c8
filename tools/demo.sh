#!/usr/bin/env bash
# The station's main job on demo data: the broadcast of one repeat cycle arrives as segment
# files (synthetic, as the reception client would write them), the reception processor turns
# them into a Native file in nats/, the viewer reads it back, and the product cycle makes the
# pictures of product.txt from it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
station=${STATION_DIR:-demo-station}
tesmar="$build/viewer/tesmar"
tinrell="$build/station/tinrell"

mkdir -p "$station/received" "$station/received13"
echo "demo: station data kit (coast lines, coast masks, towns, reception files) in $station"
"$tesmar" kit "$station"
here=$(cd "$station" && pwd)
if [ ! -f "$station/cd.txt" ]; then
    # The folders the reception client writes into.
    printf '%s\n' "$here" "$here/received/" "$here/received13/" > "$station/cd.txt"
fi

# The slot that has just closed: the quarter hour before the last one.
now=$(date -u +%s)
start=$(( (now - 900) / 900 * 900 ))
slot=$(date -u -d "@$start" +%Y%m%d%H%M)
scene="$station/nats/$slot.nat"
if [ ! -f "$scene" ]; then
    echo
    echo "== the broadcast of slot $slot arrives in $station/received (synthetic, about 15 s)"
    "$build/tools/synth/slotsynth" "$station/received" --slot "$slot" | tail -n 3
    # Received when the slot's transmission ended.
    touch -d "@$((start + 900))" "$station/received/"*"-$slot-"*

    echo
    echo "== the reception processor: one tick of each phase (tinrell --once)"
    "$tinrell" --once --dir "$station" --settle 0 --no-purge 2>&1 | grep -E "Missing|Merging|segments added|Cannot|failed" || true
fi
if [ ! -f "$scene" ]; then
    echo "demo: the reception processor made no Native file; see $station/logfile.txt" >&2
    exit 1
fi

echo
echo "== scene facts: tesmar info $scene"
"$tesmar" info "$scene"

echo
echo "== values at a few places: tesmar value $scene --channel K --lon LON --lat LAT"
while read -r name lon lat; do
    for k in 1 9 12; do
        printf '%-10s channel %2s  ' "$name" "$k"
        "$tesmar" value "$scene" --channel "$k" --lon "$lon" --lat "$lat" || true
    done
done <<'PLACES'
Madrid -3.70 40.42
Lagos 3.39 6.45
Cape_Town 18.42 -33.92
Recife -34.88 -8.05
PLACES

echo
echo "== navigation: tesmar nav --lonlat 7 41, then back with --grid"
"$tesmar" nav --lonlat 7 41
"$tesmar" nav --grid 3178 1668

echo
echo "== a picture: channel 9 over Europe with coasts and towns"
"$tesmar" show "$scene" --channel 9 --centre 7 45 --scope 2 --coast --towns --dir "$station" \
    --out "$station/creas/demo_ch9_europe.png"

echo
echo "== standard RGBs: airmass and natural colours of the same area"
for kind in airmass natural; do
    "$tesmar" show "$scene" --kind "$kind" --centre 10 35 --scope 3 --coast --dir "$station" \
        --out "$station/creas/demo_${kind}.png"
done

echo
echo "== zoomed twice over the Channel, and Europe remapped to Mercator"
"$tesmar" show "$scene" --channel 9 --centre 5 45 --coast --towns --dir "$station" \
    --zoom 460 370 --zoom 300 200 --out "$station/creas/demo_zoom.png"
"$tesmar" show "$scene" --channel 9 --centre 10 45 --scope 2 --coast --towns --water --dir "$station" \
    --mercator -15 62 35 30 --out "$station/creas/demo_mercator.png"

echo
echo "== the product cycle: every entry of $station/product.txt made from the newest slot"
if [ ! -f "$station/product.txt" ]; then
    cp tools/demo-product.txt "$station/product.txt"
fi
"$tesmar" products --dir "$station" --once

echo
echo "demo: the products are in $station/prods/:"
ls -1 "$station/prods"
echo "demo: station directory is $station; open the viewer with: $tesmar --dir $station"
