#!/usr/bin/env bash
# Builds Lumiset for 64-bit Windows on Debian 12, tests it under Wine and packs
# the portable zip and the installer:
#   build/windows/lumiset-<version>-win64.zip
#   build/windows/lumiset-<version>-win64.exe
#
#   scripts/build-windows.sh            everything: libraries, program, tests, packages
#   scripts/build-windows.sh --no-tests without running the tests under Wine
#
# What Debian does not ship for Windows (Qt's base and its image-format
# plug-ins with libtiff and libwebp, libxlsxwriter, GoogleTest) is built from
# Debian's own source packages, with Debian's patches, into a cache folder
# outside the repository: LUMISET_WINDOWS_CACHE, by default
# ~/.cache/lumiset-windows. Each library has its own folder named by its
# source version and the recipe below, so a second run reuses it.
# LUMISET_JOBS sets the number of parallel compile jobs (default: all cores).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${LUMISET_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/lumiset-windows}
jobs=${LUMISET_JOBS:-$(nproc)}
run_tests=1
[ "${1:-}" = "--no-tests" ] && run_tests=0
# Bumped whenever a library's build options below change.
recipe=r2
toolchain=$root/cmake/mingw-w64.cmake
build=$root/build/windows

say() { echo "build-windows: $*"; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"
    elif command -v sudo >/dev/null 2>&1; then sudo "$@"
    else echo "build-windows: needs root or sudo for: $*" >&2; exit 1
    fi
}

install_packages() {
    "$root/scripts/setup.sh"
    local packages=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 nsis dpkg-dev xz-utils bzip2
                    python3-pil xvfb xauth)
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    local have_sources=1
    apt-get source --print-uris qt6-base >/dev/null 2>&1 || have_sources=0
    if [ ${#missing[@]} -eq 0 ] && [ $have_sources -eq 1 ]; then
        return
    fi
    if [ $have_sources -eq 0 ]; then
        # The source packages come from the same archive as the binary ones.
        say "adding Debian's source archive to apt"
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
                | as_root tee /etc/apt/sources.list.d/lumiset-deb-src.sources >/dev/null
        else
            sed -n 's/^deb /deb-src /p' /etc/apt/sources.list \
                | as_root tee /etc/apt/sources.list.d/lumiset-deb-src.list >/dev/null
        fi
    fi
    as_root apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        say "installing ${missing[*]}"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}


# Downloads a source package (the newest version the archive offers, or the
# next one when a pocket has dropped its files) and unpacks it with Debian's
# patches. Prints the folder.
unpacked_source() {
    local package=$1 version dir
    mkdir -p "$cache/src"
    for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -rV | uniq); do
        dir=$cache/src/$package-$version
        if [ -d "$dir" ]; then
            echo "$dir"
            return
        fi
        if (cd "$cache/src" && apt-get source --download-only -qq "$package=$version" >&2 2>/dev/null); then
            local dsc=$cache/src/${package}_${version#*:}.dsc
            dpkg-source --no-check -x "$dsc" "$dir.part" >&2
            mv "$dir.part" "$dir"
            echo "$dir"
            return
        fi
        say "$package $version is not downloadable, trying an older one" >&2
    done
    echo "build-windows: no source of $package could be downloaded" >&2
    exit 1
}

# cmake_library NAME SOURCE PREFIX STAMP [CMAKE OPTIONS]: configures, builds
# and installs one CMake project into PREFIX, unless STAMP says it was done.
# A library with a folder of its own (STAMP inside PREFIX) starts clean.
cmake_library() {
    local name=$1 source=$2 prefix=$3 stamp=$4
    shift 4
    if [ -f "$stamp" ]; then
        return
    fi
    say "building $name into $prefix"
    local start=$SECONDS
    rm -rf "$cache/build/$name"
    if [ "$stamp" = "$prefix/.done" ]; then
        rm -rf "$prefix"
    fi
    cmake -S "$source" -B "$cache/build/$name" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >"$cache/build/$name.log"
    cmake --build "$cache/build/$name" -j "$jobs" >>"$cache/build/$name.log"
    cmake --install "$cache/build/$name" >>"$cache/build/$name.log"
    rm -rf "$cache/build/$name"
    touch "$stamp"
    say "$name: $((SECONDS - start)) s"
}

install_packages
mkdir -p "$cache/build"

qtbase_src=$(unpacked_source qt6-base)
imageformats_src=$(unpacked_source qt6-imageformats)
tiff_src=$(unpacked_source tiff)
webp_src=$(unpacked_source libwebp)
xlsxwriter_src=$(unpacked_source libxlsxwriter)
gtest_version=$(dpkg-query -W -f='${Version}' libgtest-dev)

qt=$cache/qtbase-$(basename "$qtbase_src" | sed 's/^qt6-base-//')-$recipe
tiff=$cache/$(basename "$tiff_src")-$recipe
webp=$cache/$(basename "$webp_src")-$recipe
xlsxwriter=$cache/$(basename "$xlsxwriter_src")-wide-paths-$recipe
gtest=$cache/googletest-$gtest_version-$recipe
host_cmake=/usr/lib/x86_64-linux-gnu/cmake
host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=$host_cmake)

# Qt's base, lean: the modules and features the programs and their tests use.
# The Windows plug-in needs OpenGL (loaded dynamically); the tablet code that
# Debian's source leaves out is switched off, and so is the DirectWrite 3 font
# database, which Qt 6.4 builds only together with Direct2D (fonts come from
# the GDI database and are drawn with DirectWrite). HarfBuzz and FreeType stay
# as Qt has them; the offscreen platform the tests run on needs FreeType.
cmake_library qtbase "$qtbase_src" "$qt" "$qt/.done" "${host[@]}" \
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DBUILD_WITH_PCH=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_vulkan=OFF -DFEATURE_system_zlib=ON \
    -DFEATURE_pdf=OFF -DFEATURE_textodfwriter=OFF \
    -DFEATURE_movie=OFF -DFEATURE_undocommand=OFF -DFEATURE_undostack=OFF -DFEATURE_undogroup=OFF \
    -DFEATURE_undoview=OFF -DFEATURE_systemtrayicon=OFF

# Qt's own Russian texts where Qt looks for them, as Debian's
# qt6-translations-l10n puts them: a .qm file is the same on every system.
mkdir -p "$qt/translations"
cp /usr/share/qt6/translations/qtbase_ru.qm "$qt/translations/"

# libtiff and libwebp for the TIFF and WebP readers: static, only what reading needs.
cmake_library tiff "$tiff_src" "$tiff" "$tiff/.done" -DBUILD_SHARED_LIBS=OFF \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
    -Djpeg=OFF -Dold-jpeg=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dlibdeflate=OFF \
    -Dcxx=OFF -Dzlib=ON
cmake_library libwebp "$webp_src" "$webp" "$webp/.done" -DBUILD_SHARED_LIBS=OFF \
    -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF -DWEBP_BUILD_GIF2WEBP=OFF \
    -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_WEBPMUX=OFF \
    -DWEBP_BUILD_EXTRAS=OFF -DWEBP_USE_THREAD=OFF

# The image-format plug-ins go into Qt's folder, where Qt's CMake files find
# them. The static libtiff needs zlib after it on the link line.
imageformats_stamp=$qt/.imageformats-$(basename "$imageformats_src")-$(basename "$tiff")-$(basename "$webp")
cmake_library qtimageformats "$imageformats_src" "$qt" "$imageformats_stamp" "${host[@]}" \
    -DCMAKE_PREFIX_PATH="$qt" -DLUMISET_WINDOWS_PREFIXES="$qt;$tiff;$webp" \
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF \
    -DFEATURE_system_tiff=ON -DFEATURE_system_webp=ON -DFEATURE_jasper=OFF -DFEATURE_mng=OFF \
    -DWebP_DIR="$webp/share/WebP/cmake" -DCMAKE_CXX_STANDARD_LIBRARIES=-lz

# libxlsxwriter, static, opening its files by wide-character paths (the patch);
# its pkg-config file adds zlib.
if [ ! -f "$xlsxwriter_src/.wide-paths" ]; then
    patch -d "$xlsxwriter_src" -p1 -s <"$root/cmake/libxlsxwriter-mingw-wide-paths.patch"
    touch "$xlsxwriter_src/.wide-paths"
fi
cmake_library libxlsxwriter "$xlsxwriter_src" "$xlsxwriter" "$xlsxwriter/.done" -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DUSE_SYSTEM_MINIZIP=OFF -DUSE_OPENSSL_MD5=OFF
cmake_library googletest /usr/src/googletest "$gtest" "$gtest/.done" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF \
    -Dgtest_disable_pthreads=OFF

say "building Lumiset"
prefixes="$qt;$tiff;$webp;$xlsxwriter;$gtest"
# Wine runs the test programs (and GoogleTest's discovery at build time): it
# finds Qt's and the compiler's libraries on WINEPATH, in its own prefix.
mingw_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
export WINEPREFIX=$cache/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPATH="$qt/bin;$mingw_runtime;/usr/x86_64-w64-mingw32/lib"
# Wine keeps the QT_ variables of Linux to itself and hands WINEQT_ ones to
# Windows programs under their QT_ names. Qt's messages go to standard error
# rather than the debugger channel, and the offscreen platform takes its fonts
# from Debian's DejaVu.
export WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1 \
    WINEQT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu
export PKG_CONFIG_LIBDIR=$xlsxwriter/lib/pkgconfig
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "creating Wine's prefix $WINEPREFIX"
    wineboot --init
    wineserver --wait
fi
cmake -S "$root" -B "$build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DLUMISET_WINDOWS_PREFIXES="$prefixes" -DCMAKE_PREFIX_PATH="$prefixes" "${host[@]}" \
    -DLUMISET_BUILD_BENCH=OFF -DLUMISET_WERROR="${LUMISET_WERROR:-OFF}" >"$cache/build/lumiset.log" 2>&1 \
    || { cat "$cache/build/lumiset.log" >&2; exit 1; }
cmake --build "$build" -j "$jobs"

if [ $run_tests -eq 1 ]; then
    say "testing under Wine"
    # Wine gives a program the Windows locale of the Linux one it starts in:
    # the tests run as on a Windows set to Russian (setup.sh made the locale).
    LC_ALL=ru_RU.UTF-8 ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300
fi

say "packing"
(cd "$build" && cpack -G ZIP >/dev/null && cpack -G NSIS >/dev/null)
installer=$(ls "$build"/lumiset-*-win64.exe)
ls -l "$build"/lumiset-*-win64.zip "$installer"

# The installer, silently under Wine: the programs run from where it put them,
# "Open with" knows them, and the uninstaller takes everything away again.
check_installer() {
    local target='C:\Lumiset' folder
    folder=$(winepath -u "$target")
    wine "$installer" /S "/D=$target"
    wine reg query 'HKCR\.png\OpenWithProgids' /v Lumiset.Picture >/dev/null \
        || { echo "build-windows: the installer did not offer Lumiset for .png files" >&2; return 1; }
    wine reg query 'HKCR\Lumiset.Picture\shell\open\command' >/dev/null \
        || { echo "build-windows: the installer wrote no open command" >&2; return 1; }
    (cd "$folder/samples" && wine "$folder/lumiset-cli.exe" info chart24.bmp | grep -q '^export: yes$') \
        || { echo "build-windows: the installed lumiset-cli.exe does not run" >&2; return 1; }
    wine "$folder/Uninstall.exe" /S _?="$target"
    wine reg query 'HKCR\Lumiset.Picture' >/dev/null 2>&1 \
        && { echo "build-windows: the uninstaller left the program id behind" >&2; return 1; }
    [ ! -e "$folder/lumiset.exe" ] || { echo "build-windows: the uninstaller left lumiset.exe" >&2; return 1; }
    rm -rf "$folder"
    say "installer: installs, runs, registers \"Open with\" and uninstalls"
}
if [ $run_tests -eq 1 ]; then
    check_installer
fi
