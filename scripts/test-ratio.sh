#!/usr/bin/env bash
# Size of the tests against the size of the code they test, in non-blank lines:
# every file under tests/ and fuzz/ (seed corpora aside) against the C++ sources (.cpp, .h)
# under setup/, owndraw/, markup/ and tools/. Reports; never fails.
cd "$(dirname "$0")/.." || exit 0
count() { xargs -0 -r cat 2>/dev/null | grep -c -v '^[[:space:]]*$'; }
tests=$(find tests fuzz -type d \( -name 'corpus*' -o -name corpus \) -prune -o -type f -print0 2>/dev/null | count)
code=$(find setup owndraw markup tools -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null | count)
echo "test lines: $tests"
echo "code lines: $code"
if [ "${code:-0}" -gt 0 ]; then
    awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio: %.1f%%\n", 100 * t / c }'
fi
exit 0
