#!/usr/bin/env bash
# Checks what a user gets from `cmake --install` and from the Debian package:
# the desktop entry and the AppStream metainfo are valid, the install puts
# exactly the expected files in place, and the .deb holds them, depends on
# what the program loads at run time and runs from its own files.
# Reuses build/default (scripts/test.sh builds it); exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build/default"

scripts/setup.sh
[ -f "$build/CMakeCache.txt" ] || cmake --preset default >/dev/null
cmake --build --preset default --target lumiset lumiset-cli >/dev/null

cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=$(cache CMAKE_PROJECT_VERSION)
id=io.github.lumiset.Lumiset

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $1"; }
fail() { failed=$((failed + 1)); echo "FAILED: $1" >&2; }
# check DESCRIPTION COMMAND...: passes when the command succeeds; its output
# is shown only when it fails.
check() {
    local what=$1
    shift
    if "$@" >"$work/out" 2>&1; then
        pass "$what"
    else
        fail "$what"
        sed 's/^/    /' "$work/out" >&2
    fi
}
# same_lines DESCRIPTION EXPECTED ACTUAL: the two texts, line for line.
same_lines() {
    if diff -u <(printf '%s\n' "$2") <(printf '%s\n' "$3") >"$work/diff"; then
        pass "$1"
    else
        fail "$1"
        sed 's/^/    /' "$work/diff" >&2
    fi
}

# What an install under /usr holds, and nothing else.
expected_files="usr/bin/lumiset
usr/bin/lumiset-cli
usr/share/applications/$id.desktop
usr/share/doc/lumiset/manual/index.en.html
usr/share/doc/lumiset/manual/index.html
usr/share/icons/hicolor/128x128/apps/$id.png
usr/share/icons/hicolor/16x16/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/32x32/apps/$id.png
usr/share/icons/hicolor/48x48/apps/$id.png
usr/share/icons/hicolor/64x64/apps/$id.png
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/metainfo/$id.metainfo.xml"

# The install into a staging folder.
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
same_lines "installed files" "$expected_files" "$(cd "$stage" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)"

desktop="$stage/usr/share/applications/$id.desktop"
metainfo="$stage/usr/share/metainfo/$id.metainfo.xml"
# desktop-file-validate exits 0 on warnings; only its hints are accepted.
check "desktop entry valid" sh -c '! desktop-file-validate "$1" 2>&1 | grep -v ": hint: " | grep .' - "$desktop"
check "metainfo valid" appstreamcli validate --no-net "$metainfo"
# Both files are written from one list of picture types.
desktop_types=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | sed '/^$/d')
metainfo_types=$(sed -n 's|.*<mediatype>\(.*\)</mediatype>.*|\1|p' "$metainfo")
same_lines "same picture types in entry and metainfo" "$desktop_types" "$metainfo_types"
check "entry opens image/bmp" grep -qx 'MimeType=.*image/bmp;.*' "$desktop"
check "entry passes the file" grep -qx 'Exec=lumiset %f' "$desktop"

# The Debian package.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1) \
    || { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
deb=$(find "$work/pkg" -maxdepth 1 -name 'lumiset_*.deb' | head -n 1)
if [ -z "$deb" ]; then
    fail "a .deb was built"
else
    pass "a .deb was built: $(basename "$deb")"
    same_lines "package files" "$expected_files" \
        "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort)"
    check "package version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    depends_names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
    # Libraries found by dpkg-shlibdeps, then what Qt loads at run time.
    for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libxlsxwriter4 \
                   qt6-qpa-plugins qt6-image-formats-plugins qt6-translations-l10n; do
        check "depends on $package" grep -qxF "$package" <<<"$depends_names"
    done

    unpacked="$work/root"
    dpkg-deb -x "$deb" "$unpacked"
    bin="$unpacked/usr/bin"
    check "lumiset-cli --version" test "$("$bin/lumiset-cli" --version)" = "lumiset-cli $version"
    check "lumiset --version" test "$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/lumiset" --version)" = "lumiset $version"
    check "lumiset --help in Russian" sh -c '"$1" --help | grep -q "ФАЙЛ | ПАПКА"' - "$bin/lumiset"
    check "lumiset-cli info from the package" sh -c '"$1" info "$2" | grep -qx "export: yes"' - \
        "$bin/lumiset-cli" "$root/samples/chart24.bmp"
    # The help window looks for the manual at ../share/doc/lumiset/manual from the program.
    check "manual where the help window looks" test -f "$bin/../share/doc/lumiset/manual/index.html"
fi

# Qt's own texts on the windows (dialog buttons, the menu of text boxes) come
# from qtbase_ru.qm of qt6-translations-l10n, which the program loads from Qt's
# translations folder whatever the system language.
qm="$(qtpaths6 --query QT_INSTALL_TRANSLATIONS)/qtbase_ru.qm"
check "qt6-translations-l10n puts qtbase_ru.qm where Qt looks" sh -c 'dpkg -L qt6-translations-l10n | grep -qxF "$1"' - "$qm"
# The menu of line boxes and the Cancel button of input dialogs, in Russian
# letters (the "&" of a mnemonic aside), read from the .qm file's messages.
check "Qt's texts in qtbase_ru.qm are Russian" /usr/bin/python3 - "$qm" <<'PY'
import re, struct, sys
wanted = [("QLineEdit", s) for s in ("&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "Delete", "Select All")]
wanted.append(("QPlatformTheme", "Cancel"))
data = open(sys.argv[1], "rb").read()
assert data[:16] == bytes.fromhex("3cb86418caef9c95cd211cbf60a1bddd"), "not a .qm file"
found, pos = {}, 16
while pos < len(data):  # sections: tag, 32-bit length, bytes; tag 0x69 holds the messages
    tag, size = data[pos], struct.unpack(">I", data[pos + 1:pos + 5])[0]
    block, pos = data[pos + 5:pos + 5 + size], pos + 5 + size
    i, message = 0, {}
    while tag == 0x69 and i < len(block):
        field = block[i]
        if field == 1:  # end of a message: 3 translation (UTF-16), 6 source, 7 context
            found.setdefault((message.get(7), message.get(6)), message.get(3))
            message, i = {}, i + 1
            continue
        n = struct.unpack(">I", block[i + 1:i + 5])[0] % 0xFFFFFFFF  # all ones: an empty text
        text = block[i + 5:i + 5 + n]
        message[field] = text.decode("utf-16-be") if field == 3 else text.decode("utf-8", "replace").rstrip("\0")
        i += 5 + n
shown = [(found.get(key) or "").replace("&", "") for key in wanted]
print(", ".join(shown))
sys.exit(0 if all(re.fullmatch("[А-Яа-яЁё ]+", text) for text in shown) else 1)
PY

echo "check-package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
