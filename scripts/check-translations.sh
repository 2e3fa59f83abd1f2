#!/usr/bin/env bash
# Checks the English translation: lupdate finds no text in the sources that
# the files in translations/ lack, and no entry is left unfinished. Leaves the
# files as they were; to take in new texts, run
#   cmake --build --preset default --target update_translations
# and translate the entries it marks unfinished.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
saved=$(mktemp -d)
trap 'cp "$saved"/*.ts translations/; rm -rf "$saved"' EXIT
cp translations/*.ts "$saved"/
cmake --build --preset default --target update_translations >/dev/null

failed=0
if ! git diff --no-index --stat "$saved" translations >/dev/null 2>&1; then
    echo "check-translations: the sources hold texts the translation files lack:" >&2
    diff -ru "$saved" translations | grep -E '^[+-] *<source>' >&2 || true
    failed=1
fi
unfinished=$(cat translations/*.ts | grep -c 'type="unfinished"' || true)
if [ "$unfinished" -ne 0 ]; then
    echo "check-translations: $unfinished entries are not translated:" >&2
    grep -B3 'type="unfinished"' translations/*.ts | grep '<source>' >&2 || true
    failed=1
fi
[ "$failed" -eq 0 ] && echo "check-translations: every text has its English"
exit "$failed"
