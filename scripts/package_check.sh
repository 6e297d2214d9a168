#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would meet it: lintian finds
# no errors; unpacked into a temporary root, its picbuf converts a real image,
# and two programs of someone else's build against its libpm32, one through
# find_package(pm32) and one through pkg-config, and run; its Python module
# imports and loads the image.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset package
cmake --build --preset package
(cd build/package && cpack -G DEB)
deb=$(ls build/package/pixmill32_*.deb)

echo "== lintian $deb"
lintian --fail-on error "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root/tree"
libdir=$(dirname "$(find "$root/tree" -name 'libpm32.so.*' | head -n1)")
export LD_LIBRARY_PATH="$libdir"

echo "== the packaged picbuf on a real image"
convert -size 64x48 plasma:fractal -depth 8 "$root/photo.png"
"$root/tree/usr/bin/picbuf" FileName="$root/photo.png" Load ColorDepth 'ReduceColors(256,1,1,0)' \
    FileName="$root/photo.gif" Store > "$root/picbuf.out"
grep -qx 'ColorDepth=24' "$root/picbuf.out"
identify -format '%m %wx%h\n' "$root/photo.gif" | grep -qx 'GIF 64x48'
zcat "$root/tree/usr/share/man/man1/picbuf.1.gz" > "$root/picbuf.1"
grep -q '^method ReduceColors(' "$root/picbuf.1"

expected="40x30 colour 336699 changes 1
error 20100: The specified file does not exist"
echo "== a consumer built with find_package(pm32)"
cmake -S packaging/consumer -B "$root/by-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$root/tree/usr" >/dev/null
cmake --build "$root/by-cmake" >/dev/null
[ "$("$root/by-cmake/consumer" "$root/by-cmake.bmp")" = "$expected" ]

echo "== a consumer built with pkg-config"
export PKG_CONFIG_SYSROOT_DIR="$root/tree"
export PKG_CONFIG_PATH="$root/tree${libdir#"$root/tree"}/pkgconfig"
# shellcheck disable=SC2046
g++ -std=c++20 packaging/consumer/main.cpp -o "$root/by-pkg-config" $(pkg-config --cflags --libs pm32)
[ "$("$root/by-pkg-config" "$root/by-pkg-config.bmp")" = "$expected" ]
echo "== the packaged Python module"
PYTHONPATH="$root/tree/usr/lib/python3/dist-packages" /usr/bin/python3 -c "
import pixmill
pb = pixmill.Picbuf()
pb.FileName = '$root/photo.png'
pb.Load()
assert pb.to_numpy().shape == (48, 64, 3)
"
echo "package checks passed: $deb"
