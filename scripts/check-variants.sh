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
# kept between runs so that each variant rebuilds only what it changes. The whole suite runs
# once on the unchanged tree first (again only when the tree changed): a test that already
# fails there would pass for a catch of every variant, so then nothing is judged. A variant
# is caught when a test fails on
# an assertion, or its program crashes or hangs inside a test; missed when all pass. A test
# program that does not even start (Wine under load) proves nothing: the run is repeated,
# and after three such starts the variant is reported as "harness failed", not caught.
# The tests of the broken file's own layer run first. Each line gives the test that caught
# the variant and the seconds it took. A variant whose original text is not found is
# reported as stale, one that does not build as broken; neither counts as caught. Exits
# with 0 when every variant checked was caught.
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
fingerprint=$(python3 - "$repo" "$scratch/src" <<'PY'
import filecmp, hashlib, os, shutil, sys
src, dst = sys.argv[1:]
digest = hashlib.sha256()
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
        if os.path.join(rel, name) != os.path.join("scripts", "variants.txt"):  # the list is no code
            digest.update(os.path.join(rel, name).encode() + b"\0" + open(a, "rb").read())
for folder, dirs, files in os.walk(dst):
    for name in files:
        if os.path.normpath(os.path.join(folder, name)) not in seen:
            os.remove(os.path.join(folder, name))
print(digest.hexdigest())
PY
) || exit 1
cd "$scratch/src"
cmake -S . -B "$scratch/build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DCLIENT_SETUP_BENCH=OFF >/dev/null || exit 1
cmake --build "$scratch/build" -j2 >/dev/null || { echo "the unchanged tree does not build" >&2; exit 1; }
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh "$scratch/state" >/dev/null

# The tests nearest the broken file run first, built alone, the quick ones before the slow
# ones (the soak, the end-to-end runs): most variants are caught there for the cost of one
# test program. A variant they miss builds everything and runs the whole suite.
slow_tests='Soak|^e2e\.'

first_tests() {
    case "$1" in
    owndraw/markup/* | owndraw/frame/* | owndraw/primitives/text.*) echo 'markup_tests|^markup\.' ;;
    owndraw/primitives/* | owndraw/buttons/*) echo 'owndraw_tests|^owndraw\.' ;;
    tools/*) echo 'markup-preview preview_tests|^preview\.' ;;
    setup/* | res/setup.rc) echo 'setup setup_tests e2e_tests|^(setup|e2e)\.' ;;
    *) echo '|' ;;
    esac
}

# One ctest pass, stopping at the first failure. Prints "pass", "caught TEST (how)" or
# "start TEST": a test program that never reached a test of its own (Wine failed to start
# it, or the discovery of its tests failed) has shown nothing about the code.
# The display-scale tests run after the others, in a Wine session of their own, as in
# scripts/run-tests.sh (in a shared one Wine soon hands every program 96 DPI); there a skip
# counts as a failure.
dpi_tests='^e2e\.(E2E/)?Scale\.'
# They are few and quick, so they run before the other end-to-end tests.
run_ctest() { # [REGEX [EXCLUDE]]
    local regex="${1:-.}" exclude="${2:-}"
    rm -f "$scratch/dpi.log"
    if [ -z "$exclude" ] && [[ e2e.Scale. =~ $regex ]]; then
        (source scripts/wine-env.sh "$scratch/dpi-state" >/dev/null && cd "$scratch/build" &&
            ctest --stop-on-failure --output-on-failure --timeout 120 -R "$dpi_tests" >"$scratch/dpi.log" 2>&1)
        local status=$?
        cat "$scratch/dpi.log" 2>/dev/null
        [ "$status" = 0 ] && ! grep -q '\*\*\*Skipped' "$scratch/dpi.log" || return 1
    fi
    (cd "$scratch/build" && ctest --stop-on-failure --output-on-failure --timeout 120 -R "$regex" \
        -E "${exclude:+$exclude|}$dpi_tests")
}

run_pass() {
    local log="$scratch/ctest.log" failed
    run_ctest "$@" >"$log" 2>&1 && {
        echo pass; return; }
    failed=$(grep -m1 -E '\*\*\*(Failed|Timeout|Exception)|\*\*\*Not Run|Error running' "$log" |
             sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+).*/\1/')
    if grep -qs '\*\*\*Skipped' "$scratch/dpi.log" && ! grep -q '^\[  FAILED  \]' "$log"; then
        # A display-scale test Wine did not give its DPI has shown nothing either.
        failed=$(grep -m1 '\*\*\*Skipped' "$scratch/dpi.log" | sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+).*/\1/')
        echo "start $failed"
    elif grep -q '^\[  FAILED  \]' "$log"; then
        echo "caught ${failed:-?} (assertion)"
    elif grep -q '^check-example: ' "$log" && ! grep -q '^check-example: failed: wine ' "$log"; then
        # The example's check is a script: its own lines say what it found wrong (a pixel, the
        # installed headers, a package that does not build or link); only a Wine that could
        # not start the example proves nothing.
        echo "caught ${failed:-?} (assertion)"
    elif grep -q '^\[ RUN      \]' "$log"; then
        # A test began and its program ended or hung without an assertion: a crash or a hang
        # in the code under test.
        echo "caught ${failed:-?} ($(grep -m1 -oE '\*\*\*(Failed|Timeout|Exception)[^ ]*' "$log" | tr -d '*' | tr 'A-Z' 'a-z') inside a test)"
    else
        echo "start ${failed:-a test program}"
    fi
}

# A pass that fails to start a test program is run again; twice more at most.
run_pass_retried() {
    local result tries
    for tries in 1 2 3; do
        result=$(run_pass "$@")
        [ "${result%% *}" != start ] && break
        cp "$scratch/ctest.log" "$scratch/start-failure-$tries.log"
    done
    echo "$result"
}

# The unchanged tree must pass whole before any failure can stand for a catch.
if [ "$(cat "$scratch/baseline-passed" 2>/dev/null)" != "$fingerprint" ]; then
    rm -f "$scratch/build/Testing/Temporary/CTestCostData.txt"
    baseline=$(run_pass_retried)
    if [ "$baseline" != pass ]; then
        echo "the unchanged tree does not pass (${baseline}; $scratch/ctest.log): no variant can be judged" >&2
        exit 1
    fi
    echo "$fingerprint" >"$scratch/baseline-passed"
fi

caught=0 total=0 harness=0 started=$(date +%s)
while IFS= read -r record; do
    IFS=$'\x1f' read -r id file was now what <<<"$record"
    total=$((total + 1))
    variant_start=$(date +%s)
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
    IFS='|' read -r targets regex <<<"$(first_tests "$file")"
    # No cost data: the tests run in their listed order, the quick in-process ones first.
    rm -f "$scratch/build/Testing/Temporary/CTestCostData.txt"
    result=pass
    if [ -n "$targets" ]; then
        # shellcheck disable=SC2086
        if ! cmake --build "$scratch/build" -j2 --target $targets >"$scratch/build.log" 2>&1; then
            result=broken
        else
            result=$(run_pass_retried "$regex" "$slow_tests")
            [ "$result" = pass ] && result=$(run_pass_retried "$regex")
        fi
    fi
    if [ "$result" = pass ]; then
        if ! cmake --build "$scratch/build" -j2 >"$scratch/build.log" 2>&1; then
            result=broken
        else
            result=$(run_pass_retried)
        fi
    fi
    seconds=$(($(date +%s) - variant_start))
    case "$result" in
    pass) printf '%-28s MISSED  %s (%d s)\n' "$id" "$what" "$seconds" ;;
    broken) printf '%-28s broken  (does not build)\n' "$id" ;;
    caught*)
        caught=$((caught + 1))
        printf '%-28s caught  by %s, %d s\n' "$id" "${result#caught }" "$seconds" ;;
    start*)
        harness=$((harness + 1))
        printf '%-28s harness failed: %s did not start, three times (%s/start-failure-*.log)\n' \
            "$id" "${result#start }" "$scratch" ;;
    esac
    # Put the original back with a fresh time, so that the next build recompiles it.
    cat "$repo/$file" >"$file"
done <"$records"
harness_note=''
[ "$harness" -gt 0 ] && harness_note=", harness failed on $harness"
echo "variants caught: $caught of $total$harness_note in $(($(date +%s) - started)) s"
# A missed (or stale, or broken) variant is a failure of the check, and so is a harness failure.
[ "$caught" -eq "$total" ]
