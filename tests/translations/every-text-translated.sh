#!/usr/bin/env bash
# Fails when a text in the code has no English: the translation files of every library are
# merged, brought up to date with the code as update_translations would (in a copy), and any
# text left unfinished is named.
#   every-text-translated.sh LUPDATE LCONVERT SOURCE_DIR
set -euo pipefail
lupdate="$1"
lconvert="$2"
source="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$lconvert" -i "$source"/translations/*_en.ts -o "$work/all_en.ts"
(cd "$source" && "$lupdate" app operations monitor commissioning ctl serial modbus values \
    translations -extensions cpp,h -ts "$work/all_en.ts" -no-obsolete -locations none \
    -source-language zh_CN -tr-function-alias QT_TRANSLATE_NOOP+=RX904_TRANSLATE_NOOP >/dev/null)
if grep -q 'type="unfinished"' "$work/all_en.ts"; then
    echo "Texts without English (run the update_translations target and fill them in):" >&2
    grep -B2 'type="unfinished"' "$work/all_en.ts" | sed -n 's|.*<source>\(.*\)</source>|  \1|p' >&2
    exit 1
fi
echo "every text has its English"
