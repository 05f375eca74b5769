#!/usr/bin/env bash
# Everything a fresh Debian machine needs to build and test Kestrune, and
# nothing else. Safe to run again: every step checks before it works.
#
#   scripts/setup.sh [build-dir]
#
# - apt packages (cross compilers, Wine, Xvfb, Python's cryptography, ...)
# - OpenSSL libcrypto, TinyXML and JsonCpp cross-built from Debian's source
#   packages into a cache outside the repository, keyed by version
# - a Wine prefix inside the build tree with two removable test drives
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-$root/build}
cache=${KESTRUNE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrune}
jobs=$(nproc)
triple=x86_64-w64-mingw32

sudo_=""
[ "$(id -u)" = 0 ] || sudo_=sudo

log() { printf '[setup] %s\n' "$*"; }

# ---------------------------------------------------------------- packages
packages=(
  cmake make ninja-build dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev
  wine wine64 xvfb xauth
  python3 python3-cryptography
  # skin artwork: drawn with Pillow, icon glyphs from the Material Icons font
  python3-pil fonts-material-design-icons-iconfont
  # stand-in brand fonts: free faces renamed with fonttools, Hangul from Nanum
  fonts-wine fonts-dejavu-core fonts-dejavu-extra fonts-nanum python3-fonttools
  zip unzip curl ca-certificates
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  log "installing: ${missing[*]}"
  $sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The stand-in web service of the tests listens on the program's fixed ports
# (80, 443, 8443); without root they need a lower unprivileged-port limit.
if [ "$(id -u)" != 0 ] && [ "$(cat /proc/sys/net/ipv4/ip_unprivileged_port_start)" -gt 80 ]; then
  log "allowing unprivileged listeners on ports from 80"
  $sudo_ sysctl -q -w net.ipv4.ip_unprivileged_port_start=80
fi

# ---------------------------------------------------------- source entries
# deb-src lines are derived from the machine's own sources file, so no host
# name is ever written by us.
src_list=/etc/apt/sources.list.d/kestrune-deb-src.sources
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  base=/etc/apt/sources.list.d/debian.sources
  [ -f "$base" ] || { echo "no $base to derive deb-src entries from" >&2; exit 1; }
  log "enabling deb-src from $base"
  sed -E 's/^Types:.*/Types: deb-src/' "$base" | $sudo_ tee "$src_list" >/dev/null
  $sudo_ apt-get update -qq
fi

# Source versions the archive lists, newest first. A mirror may list a version
# whose files it does not hold, so each is tried in turn.
src_versions() {
  apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/{print $2}' | sort -rV | uniq
}

# pick NAME KEY -> sets $version and $prefix: a cached build when one exists,
# otherwise the newest version whose source downloads (left in $srcdir).
pick() {
  local name=$1 key=$2 v
  version=""; srcdir=""
  for v in $(src_versions "$name"); do
    if [ -f "$cache/deps/$key-$v/.done" ]; then version=$v; prefix=$cache/deps/$key-$v; return; fi
  done
  local work=$cache/src/$key
  for v in $(src_versions "$name"); do
    rm -rf "$work"; mkdir -p "$work"
    if (cd "$work" && apt-get source -qq "$name=$v" >/dev/null 2>&1); then
      version=$v; prefix=$cache/deps/$key-$v
      srcdir=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
      return
    fi
  done
  echo "no source of $name could be fetched" >&2; exit 1
}

mkdir -p "$cache/deps"

# --------------------------------------------------------------- OpenSSL
pick openssl openssl
if [ -n "$srcdir" ]; then
  log "building OpenSSL libcrypto $version"
  dir=$srcdir
  (cd "$dir" &&
    ./Configure mingw64 --cross-compile-prefix=$triple- no-shared no-tests no-asm no-engine no-dso \
      --prefix="$prefix" &&
    make -s -j"$jobs" build_generated &&
    make -s -j"$jobs" libcrypto.a) >"$cache/openssl-build.log" 2>&1 \
    || { tail -n 40 "$cache/openssl-build.log"; exit 1; }
  rm -rf "$prefix"; mkdir -p "$prefix/lib" "$prefix/include"
  cp "$dir/libcrypto.a" "$prefix/lib/"
  cp -r "$dir/include/openssl" "$prefix/include/"
  touch "$prefix/.done"
fi
ln -sfn "$prefix" "$cache/deps/openssl"

# --------------------------------------------------------------- TinyXML
pick tinyxml tinyxml
if [ -n "$srcdir" ]; then
  log "building TinyXML $version"
  dir=$srcdir
  rm -rf "$prefix"; mkdir -p "$prefix/lib" "$prefix/include" "$prefix/obj"
  for f in tinyxml tinyxmlparser tinyxmlerror tinystr; do
    $triple-g++-posix -O2 -DTIXML_USE_STL -c "$dir/$f.cpp" -o "$prefix/obj/$f.o"
  done
  $triple-ar rcs "$prefix/lib/libtinyxml.a" "$prefix"/obj/*.o
  rm -rf "$prefix/obj"
  cp "$dir/tinyxml.h" "$dir/tinystr.h" "$prefix/include/"
  touch "$prefix/.done"
fi
ln -sfn "$prefix" "$cache/deps/tinyxml"

# --------------------------------------------------------------- JsonCpp
pick libjsoncpp jsoncpp
if [ -n "$srcdir" ]; then
  log "building JsonCpp $version"
  dir=$srcdir
  cmake -S "$dir" -B "$dir/_build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
    -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DJSONCPP_WITH_CMAKE_PACKAGE=OFF \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF >/dev/null
  cmake --build "$dir/_build" -j "$jobs" >/dev/null
  rm -rf "$prefix"
  cmake --install "$dir/_build" >/dev/null
  touch "$prefix/.done"
fi
ln -sfn "$prefix" "$cache/deps/jsoncpp"

# ------------------------------------------------------------ Wine prefix
"$here/wine-prefix.sh" "$build"
log "ready (cache $cache, build $build)"
