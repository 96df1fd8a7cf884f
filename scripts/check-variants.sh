#!/usr/bin/env bash
# Proves the suite's power: applies each deliberately broken variant of scripts/variants.txt
# in turn to a scratch copy of this tree, builds it, runs the tests (stopping at the first
# failure) and reports whether some test caught the variant. The working tree is never changed.
#
#   bash scripts/check-variants.sh [--only REGEX] [--list]
#
#   --only REGEX   check only the variants whose id matches REGEX (grep -E)
#   --list         print the ids and descriptions and stop
#
# The scratch tree and its build live in $VARIANTS_DIR (default /tmp/client-setup-variants),
# kept between runs so that each variant rebuilds only what it changes. The suite must pass
# on the unchanged tree first (scripts/run-tests.sh); a variant is caught when some test fails
# and missed when all pass. A variant whose original text is not found is reported as stale,
# one that does not build as broken; neither counts as caught. Exits with 0 when every
# variant checked was caught.
set -uo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
only='' list=0
while [ $# -gt 0 ]; do
    case "$1" in
    --only) only="$2"; shift 2 ;;
    --list) list=1; shift ;;
    *) echo "usage: $0 [--only REGEX] [--list]" >&2; exit 2 ;;
    esac
done

# variants.txt -> one line per variant: id, file, was, now, what (fields split by 0x1F).
records=$(mktemp)
trap 'rm -f "$records"' EXIT
python3 - "$repo/scripts/variants.txt" "$only" >"$records" <<'PY' || exit 2
import re, sys
path, only = sys.argv[1], sys.argv[2]
fields, out = {}, []
def flush():
    if not fields:
        return
    missing = {"id", "file", "was", "now", "what"} - fields.keys()
    if missing:
        sys.exit(f"variants.txt: {fields.get('id', '?')} lacks {', '.join(sorted(missing))}")
    if not only or re.search(only, fields["id"]):
        out.append("\x1f".join(fields[k] for k in ("id", "file", "was", "now", "what")))
    fields.clear()
for line in open(path, encoding="utf-8").read().split("\n"):
    if line.startswith("#"):
        continue
    if not line.strip():
        flush()
        continue
    key, sep, value = line.partition(": ")
    if not sep or key not in ("id", "file", "was", "now", "what"):
        sys.exit(f"variants.txt: cannot read line: {line}")
    fields[key] = value
flush()
sys.stdout.write("\n".join(out) + ("\n" if out else ""))
PY

if [ "$list" = 1 ]; then
    awk -F'\037' '{ printf "%-28s %s\n", $1, $5 }' "$records"
    exit 0
fi

scratch=${VARIANTS_DIR:-/tmp/client-setup-variants}
mkdir -p "$scratch/src"
# Mirror the tree by content, with fresh times: whatever differs from the last run is rebuilt.
python3 - "$repo" "$scratch/src" <<'PY' || exit 1
import filecmp, os, shutil, sys
src, dst = sys.argv[1:]
skip = {os.path.join(src, "build"), os.path.join(src, ".git")}
seen = set()
for folder, dirs, files in os.walk(src):
    dirs[:] = [d for d in dirs if os.path.join(folder, d) not in skip]
    rel = os.path.relpath(folder, src)
    os.makedirs(os.path.join(dst, rel), exist_ok=True)
    for name in files:
        a, b = os.path.join(folder, name), os.path.join(dst, rel, name)
        seen.add(os.path.normpath(b))
        if not os.path.exists(b) or not filecmp.cmp(a, b, shallow=False):
            shutil.copyfile(a, b)
for folder, dirs, files in os.walk(dst):
    for name in files:
        if os.path.normpath(os.path.join(folder, name)) not in seen:
            os.remove(os.path.join(folder, name))
PY
cd "$scratch/src"
cmake -S . -B "$scratch/build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DCLIENT_SETUP_BENCH=OFF >/dev/null || exit 1
cmake --build "$scratch/build" -j2 >/dev/null || { echo "the unchanged tree does not build" >&2; exit 1; }
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh "$scratch/state" >/dev/null

caught=0 total=0
while IFS= read -r record; do
    IFS=$'\x1f' read -r id file was now what <<<"$record"
    total=$((total + 1))
    cp "$repo/$file" "$file"
    if ! python3 - "$file" "$was" "$now" <<'PY'; then
import sys
path, was, now = sys.argv[1:]
text = open(path, encoding="utf-8").read()
if text.count(was) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text.replace(was, now))
PY
        printf '%-28s stale   (original text not found once in %s)\n' "$id" "$file"
        continue
    fi
    if ! cmake --build "$scratch/build" -j2 >"$scratch/build.log" 2>&1; then
        printf '%-28s broken  (does not build)\n' "$id"
    else
        # No cost data: the tests run in their listed order, the quick in-process ones first.
        rm -f "$scratch/build/Testing/Temporary/CTestCostData.txt"
        if (cd "$scratch/build" && ctest --stop-on-failure --timeout 120 >"$scratch/ctest.log" 2>&1); then
            printf '%-28s MISSED  %s\n' "$id" "$what"
        else
            caught=$((caught + 1))
            by=$(grep -m1 -E '\*\*\*Failed|\*\*\*Timeout|\*\*\*Exception' "$scratch/ctest.log" |
                 sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+).*/\1/')
            printf '%-28s caught  by %s\n' "$id" "${by:-a failing test}"
        fi
    fi
    # Put the original back with a fresh time, so that the next build recompiles it.
    cat "$repo/$file" >"$file"
done <"$records"
echo "variants caught: $caught of $total"
# A missed (or stale, or broken) variant is a failure of the check.
[ "$caught" -eq "$total" ]
