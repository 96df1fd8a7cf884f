#!/usr/bin/env bash
# Builds the native fuzz target for the mark-up readers with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs a bounded pass over the
# committed seed corpus. Fails on any finding.
#
#   bash scripts/fuzz.sh [SECONDS]      (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
out=build/fuzz
mkdir -p "$out"
clang++ -std=c++17 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    fuzz/fuzz_markup.cpp owndraw/markup/syntax.cpp owndraw/primitives/text.cpp -o "$out/fuzz_markup"

# New inputs go to a scratch corpus; the committed seeds are only read.
work="$out/corpus"
rm -rf "$work" && mkdir -p "$work"
log="$out/fuzz.log"
if ! "$out/fuzz_markup" -max_total_time="$seconds" -timeout=5 -max_len=4096 \
        -artifact_prefix="$out/" "$work" fuzz/corpus >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: FINDING (see $out/crash-* and $log)"
    exit 1
fi
runs="$(grep -o 'Done [0-9]* runs' "$log" | grep -o '[0-9]*' || echo '?')"
echo "fuzz: $runs executions in ${seconds} s, corpus $(ls "$work" | wc -l) new + $(ls fuzz/corpus | wc -l) seeds, no findings"
