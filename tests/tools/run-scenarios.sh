#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs each case of a scenario file through zarpeta-script, in a folder of its own, and
# compares what it gave with the expected file: its standard output, exit code and
# errors, and a digest of every file it wrote. A case starts at a line "=== NAME".
# With ZARPETA_UPDATE_GOLDEN=1 it writes the expected file instead, to read and check in.
# usage: run-scenarios.sh TOOL SCENARIO EXPECTED
set -eu
tool=$1 scenario=$2 expected=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v dir="$work" '/^=== /{ file = sprintf("%s/%03d", dir, ++n); print > (file ".name"); next }
                    { print > (file ".script") }' "$scenario"
for name in "$work"/*.name; do
    case=${name%.name}
    mkdir "$case"
    code=0
    (cd "$case" && exec "$tool" "$case.script" >"$case.out" 2>"$case.err") || code=$?
    cat "$name" "$case.out"
    echo "--- exit $code"
    cat "$case.err"
    for file in "$case"/*; do
        if [ -e "$file" ]; then
            echo "--- ${file##*/} $(md5sum <"$file" | cut -c1-32)"
        fi
    done
done >"$work/got"
if [ "${ZARPETA_UPDATE_GOLDEN:-}" = 1 ]; then
    cp "$work/got" "$expected"
fi
diff -u "$expected" "$work/got"
