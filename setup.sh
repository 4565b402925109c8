#!/usr/bin/env bash
# Installs what the station needs from Debian, configures and builds it.
#   bash setup.sh         install + build
#   bash setup.sh demo    ... then run the demo station job
#   bash setup.sh test    ... then run the test suite
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
    libjpeg-dev libpng-dev zlib1g-dev libbz2-dev libnetcdf-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth
    gmt gmt-gshhg-low tzdata
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

build_type=${BUILD_TYPE:-Release}
if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$build_type"
fi
cmake --build build

case "${1:-}" in
    demo) exec bash tools/demo.sh build ;;
    test) exec ctest --test-dir build --output-on-failure ;;
    "") ;;
    *) echo "setup: unknown step '$1' (use demo or test)" >&2; exit 2 ;;
esac
