#!/usr/bin/env bash
# Installs what Lumiset needs to build and test, from Debian's packages only.
# Idempotent: packages already present are left alone and nothing is fetched.
set -euo pipefail

packages=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev            # Qt 6 Widgets (and Gui, Test)
    qt6-translations-l10n   # Qt's own texts (dialog buttons, text-box menus) in Russian
    qt6-tools-dev qt6-l10n-tools # lupdate/lrelease: the English translation is built with the program
    qt6-image-formats-plugins # TIFF and WebP readers
    libxlsxwriter-dev       # workbook writer
    libgtest-dev            # unit and widget tests
    libbenchmark-dev        # benchmarks
    fonts-dejavu-core       # Cyrillic glyphs for offscreen widget tests
    python3                 # the sample generator
    python3-openpyxl        # independent read-back of written workbooks
    desktop-file-utils      # scripts/check-package.sh: desktop-file-validate
    appstream               # scripts/check-package.sh: appstreamcli validate
    dpkg-dev file           # cpack -G DEB: dpkg-shlibdeps finds the package's libraries
    clang-format clang-tidy # scripts/lint.sh
    clang-14 libclang-rt-14-dev # scripts/fuzz-smoke.sh: clang with libFuzzer and its sanitizers
    locales                 # ru_RU.UTF-8: the tests run the programs as a Russian user
)

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    sudo=(false)
fi

# The Russian locale the tests (and Wine, for the Windows build) start the
# programs in; generated once.
russian_locale() {
    if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
        if [ "${sudo[0]:-}" = false ]; then
            echo "No ru_RU.UTF-8 locale and no root to make it: the tests run in the C locale" >&2
            return
        fi
        echo "Generating the ru_RU.UTF-8 locale"
        "${sudo[@]}" sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
        "${sudo[@]}" locale-gen >/dev/null
    fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    russian_locale
    exit 0
fi

echo "Installing: ${missing[*]}"
if [ "${sudo[0]:-}" = false ]; then
    echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
russian_locale
