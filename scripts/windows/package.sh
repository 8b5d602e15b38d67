#!/usr/bin/env bash
# Makes the Windows download from a Windows build:
#   package.sh BUILD_DIR QT_PREFIX
# BUILD_DIR/rx904-tool-VERSION-windows-x64.zip: rx904-tool.exe and rx904ctl.exe with the Qt
# DLLs and plugins they load, the MinGW runtime DLLs, Qt's Chinese texts and the licences; and
# BUILD_DIR/rx904-tool-VERSION-setup.exe, the NSIS installer of the same files.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
qt="$2"
version=$(sed -n 's/^project(rx904_tool VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name="rx904-tool-$version-windows-x64"
stage="$build/dist/$name"
rm -rf "$build/dist"
mkdir -p "$stage"

mingw_dirs=(/usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
strip=x86_64-w64-mingw32-strip

# qt_standard_project_setup() puts a Windows build's programs in its top folder, beside each other.
cp "$build/rx904-tool.exe" "$build/rx904ctl.exe" "$stage/"
# The platform plugin, and the style that draws native Windows 10/11 controls.
mkdir -p "$stage/platforms" "$stage/styles"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"

# Every DLL the program and its plugins import, found among Qt's and MinGW's, and what those
# import in turn; system DLLs (kernel32, user32, …) are not among them and stay Windows'.
find_dll() {
    local dll="$1" dir
    for dir in "$qt/bin" "${mingw_dirs[@]}"; do
        [ -f "$dir/$dll" ] && { echo "$dir/$dll"; return 0; }
    done
    return 1
}
pending=("$stage/rx904-tool.exe" "$stage/rx904ctl.exe" "$stage/platforms/qwindows.dll" "$stage/styles/qwindowsvistastyle.dll")
while [ ${#pending[@]} -gt 0 ]; do
    file="${pending[0]}"
    pending=("${pending[@]:1}")
    for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
        [ -f "$stage/$dll" ] && continue
        if source=$(find_dll "$dll"); then
            cp "$source" "$stage/$dll"
            pending+=("$stage/$dll")
        fi
    done
done
find "$stage" -name '*.exe' -o -name '*.dll' | xargs "$strip" --strip-unneeded

# Qt's own dialog texts in Chinese (Debian's qt6-translations-l10n), found through qt.conf.
mkdir -p "$stage/translations"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/"
printf '[Paths]\r\nPrefix=.\r\nPlugins=.\r\nTranslations=translations\r\n' > "$stage/qt.conf"

# Licences as Windows' Notepad shows them: CRLF.
mkdir -p "$stage/licences"
crlf() { sed 's/$/\r/' "$1" > "$2"; }
crlf "$root/LICENSE" "$stage/licences/rx904-tool.txt"
mkdir -p "$stage/licences/Qt"
for f in "$qt"/licenses/*.txt; do
    crlf "$f" "$stage/licences/Qt/$(basename "$f")"
done
crlf "$qt/licenses/copyright" "$stage/licences/Qt/copyright.txt"
crlf /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/GCC-runtime.txt"
crlf /usr/share/doc/mingw-w64-common/copyright "$stage/licences/MinGW-w64.txt"
printf '%s\r\n' \
    "RX904智能电压控制器工具软件 $version" "" \
    "rx904-tool.exe and rx904ctl.exe are licensed as in rx904-tool.txt. They use Qt $(basename "$qt" | cut -d+ -f1)" \
    "(Qt6Core, Qt6Gui, Qt6Network, Qt6OpenGL, Qt6Widgets and plugins) under the GNU LGPL" \
    "version 3 (Qt/LGPL-3.0-only.txt), built unmodified from Debian's source package" \
    "qt6-base; Qt/copyright.txt says which bundled part is under which licence in Qt/. The" \
    "DLLs may be replaced with other builds of the same Qt version. The GCC and MinGW-w64" \
    "runtime DLLs" \
    "(libstdc++-6, libgcc_s_seh-1, libwinpthread-1) are under the licences in" \
    "GCC-runtime.txt and MinGW-w64.txt." > "$stage/licences/README.txt"

rm -f "$build/$name.zip"
(cd "$build/dist" && zip -qr9 "$build/$name.zip" "$name")

# The uninstaller removes exactly the staged files, then the folders, deepest first.
remove="$build/dist/remove.nsh"
{
    (cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g; s|^|    Delete "$INSTDIR\\|; s|$|"|')
    (cd "$stage" && find . -mindepth 1 -type d | sort -r |
        sed 's|^\./||; s|/|\\|g; s|^|    RMDir "$INSTDIR\\|; s|$|"|')
} > "$remove"
setup="$build/rx904-tool-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$build/packaging/windows/rx904-tool.ico" \
    -DOUTFILE="$setup" -DREMOVE="$remove" "$root/packaging/windows/installer.nsi"
echo "$build/$name.zip"
echo "$setup"
