#!/usr/bin/env bash
# Builds Debian's qtbase (the same version as the Linux build) for MinGW-w64 once, into a cache
# outside the repository, and prints the prefix. The cache's name carries the version and a hash
# of the options, the parts built and the toolchain, so a change to any builds afresh and an
# unchanged one is reused. Only the parts the tool and its tests load are built and installed:
# Core, Gui, Widgets, Network, Test, the Windows and offscreen platforms and the Windows style.
# An interrupted build resumes where it stopped.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cache_root="${RX904_QT_MINGW_CACHE:-/var/cache/rx904-qt-mingw}"

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    # Debian's cleaned source has no 3rdparty/wintab.
    -DFEATURE_tabletevent=OFF
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_openssl=OFF -DFEATURE_vulkan=OFF
    # OpenGL stays on (it configures as dynamic): without it the Windows platform plugin of
    # 6.4.2 does not compile.
)
targets=(
    Core Gui Widgets Network Test EntryPointImplementation EntryPointPrivate_timestamp
    QWindowsIntegrationPlugin QOffscreenIntegrationPlugin QWindowsVistaStylePlugin
)
# The install scripts of the directories holding those targets and what they link (the
# Windows platform links QtOpenGL; the exported targets name the bundled libraries); the
# directories above them install their own files only.
install_dirs=(
    src/corelib src/entrypoint src/network src/gui src/opengl src/widgets src/testlib
    src/3rdparty/pcre2 src/3rdparty/zlib src/3rdparty/harfbuzz-ng src/3rdparty/freetype
    src/3rdparty/libpng
    src/plugins/platforms/windows src/plugins/platforms/offscreen src/plugins/styles/windowsvista
)
local_dirs=(. src src/3rdparty src/plugins src/plugins/platforms src/plugins/styles)
hash=$( (printf '%s\n' "${options[@]}" "${targets[@]}" "${install_dirs[@]}"
         cat "$here/mingw-toolchain.cmake") | sha256sum | cut -c1-12)
prefix="$cache_root/${version}-${hash}"

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work="$cache_root/work-${version}-${hash}"
mkdir -p "$work"

# apt-get source with a private deb-src list derived from the machine's own sources; the
# machine's apt configuration and state stay untouched.
mkdir -p "$work/apt/parts" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$work/apt/parts/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list > "$work/apt/parts/plain.list"
fi
apt_options=(
    -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/parts"
    -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache"
    -o Debug::NoLocking=1 -o APT::Sandbox::User=root
)
source_dir=$(find -H "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
if [ -z "$source_dir" ]; then
    apt-get "${apt_options[@]}" update -qq
    (cd "$work" && apt-get "${apt_options[@]}" source -qq "qt6-base=$version" >/dev/null)
    source_dir=$(find -H "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
fi

if [ ! -f "$work/build/build.ninja" ]; then
    cmake -S "$source_dir" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/configure.log" ||
        { tail -50 "$work/configure.log" >&2; exit 1; }
fi
nice cmake --build "$work/build" -j "$(nproc)" --target "${targets[@]}" >>"$work/build.log" 2>&1 ||
    { tail -80 "$work/build.log" >&2; exit 1; }
for dir in "${local_dirs[@]}"; do
    cmake -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LOCAL_ONLY=ON \
        -P "$work/build/$dir/cmake_install.cmake" >/dev/null
done
for dir in "${install_dirs[@]}"; do
    cmake -DCMAKE_INSTALL_PREFIX="$prefix" -P "$work/build/$dir/cmake_install.cmake" >/dev/null
done
# The licence texts and Debian's account of which part is under which, for the download.
mkdir -p "$prefix/licenses"
cp "$source_dir"/LICENSES/*.txt "$prefix/licenses/"
cp "$source_dir/debian/copyright" "$prefix/licenses/copyright"
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
