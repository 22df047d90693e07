#!/usr/bin/env bash
# Cross-builds the library for Windows on Debian: x64 into build/windows-x64,
# x86 into build/windows-x86, with mingw-w64 and a static libxml2 built from
# Debian's source package. Then runs the tests under Wine (64-bit), headless,
# in a fresh prefix. Installs what it needs; a second run reuses libxml2.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
started=$SECONDS

say() { echo "== $* ($((SECONDS - started)) s)"; }

# -- Packages (only those missing) ------------------------------------------
source scripts/packages.sh
install_missing cmake ninja-build googletest xz-utils patch \
  wine wine64 libwine-dev g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools

# -- libxml2 from Debian's source package, static, per architecture ---------
# Without iconv, zlib or lzma: the library registers its own handlers for the
# single-byte encodings it reads.
deps=$root/build/windows-deps/libxml2
fetch_libxml2_source() {
  local sources=/etc/apt/sources.list.d/debian.sources
  if ! grep -q '^Types:.*deb-src' "$sources" 2>/dev/null; then
    [ -f "$sources" ] || { echo "no $sources to add deb-src to" >&2; exit 1; }
    say "adding deb-src to $sources"
    $sudo_cmd sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
    $sudo_cmd apt-get update -q
  fi
  rm -rf "$deps/download" "$deps/source"
  mkdir -p "$deps/download" "$deps/source"
  (cd "$deps/download" && apt-get source --download-only -q libxml2)
  tar -xf "$deps"/download/libxml2_*.orig.tar.* -C "$deps/source" --strip-components=1
  tar -xf "$deps"/download/libxml2_*.debian.tar.* -C "$deps/source"
  # Debian's own patches, in its order.
  local patch_name
  while read -r patch_name; do
    case "$patch_name" in '' | '#'*) continue ;; esac
    patch -s -p1 -d "$deps/source" <"$deps/source/debian/patches/${patch_name%% *}"
  done <"$deps/source/debian/patches/series"
  touch "$deps/source/.unpacked"
}

build_libxml2() {
  local arch=$1 prefix=$deps/$1
  # Built with LIBXML_STATIC, so that nothing of libxml2 is exported from the DLLs.
  [ -f "$prefix/lib/libxml2.a" ] && [ -f "$prefix/.statique" ] && return
  [ -f "$deps/source/.unpacked" ] || fetch_libxml2_source
  say "building libxml2 for $arch"
  cmake -S "$deps/source" -B "$deps/build-$arch" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DCMAKE_C_FLAGS=-DLIBXML_STATIC \
    -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF \
    -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_PROGRAMS=OFF \
    -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_ICU=OFF >/dev/null
  cmake --build "$deps/build-$arch" -j "$jobs" >/dev/null
  cmake --install "$deps/build-$arch" >/dev/null
  touch "$prefix/.statique"
}
build_libxml2 x86_64
build_libxml2 i686

# -- The library, both architectures ----------------------------------------
for preset in windows-x64 windows-x86; do
  say "preset $preset"
  cmake --preset "$preset" -DQX_WERROR=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

# -- Tests under Wine (64-bit only: Debian's wine32 does not install here) --
say "starting a fresh Wine prefix"
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
wineserver -w

failed=0
for test_program in build/windows-x64/tests/test_*.exe; do
  say "wine $test_program"
  wine "$test_program" --gtest_brief=1 || { echo "FAILED: $test_program" >&2; failed=1; }
done
if [ -f tests/windows/run.sh ]; then
  say "Wine bench of the DLLs"
  bash tests/windows/run.sh build/windows-x64 || failed=1
fi
say "done"
exit $failed
