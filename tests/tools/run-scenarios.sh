#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs each case of a scenario file through zarpeta-script, in a folder of its own, and
# compares what it gave with the expected file: its standard output, exit code and
# errors, and a digest of every file it wrote. A case starts at a line "=== NAME".
# With ZARPETA_UPDATE_GOLDEN=1 it writes the expected file instead, to read and check in.
# With "limited" after the files, each case starts beside an old output file, old.png,
# and its writes fail past 512 bytes (EFBIG), to show what a failed write leaves.
# usage: run-scenarios.sh TOOL SCENARIO EXPECTED [limited]
set -eu
tool=$1 scenario=$2 expected=$3 limited=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v dir="$work" '/^=== /{ file = sprintf("%s/%03d", dir, ++n); print > (file ".name"); next }
                    { print > (file ".script") }' "$scenario"
for name in "$work"/*.name; do
    case=${name%.name}
    mkdir "$case"
    code=0
    if [ -n "$limited" ]; then
        echo old >"$case/old.png"
    fi
    (cd "$case" && if [ -n "$limited" ]; then trap '' XFSZ && ulimit -f 1; fi &&
        exec "$tool" "$case.script" >"$case.out" 2>"$case.err") || code=$?
    cat "$name" "$case.out"
    echo "--- exit $code"
    cat "$case.err"
    for file in "$case"/* "$case"/.[!.]*; do  # hidden ones too: a write's leftovers
        if [ -e "$file" ]; then
            echo "--- ${file##*/} $(md5sum <"$file" | cut -c1-32)"
        fi
    done
done >"$work/got"
if [ "${ZARPETA_UPDATE_GOLDEN:-}" = 1 ]; then
    cp "$work/got" "$expected"
fi
diff -u "$expected" "$work/got"
