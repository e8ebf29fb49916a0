#!/usr/bin/env bash
# Fuzzes each target for SECONDS (60 by default), or only the TARGETs named
# (record, datafile, conversion, oledate, datetext, import), with libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Inputs that reach new code are merged into the checked-in corpus in
# tests/fuzz/corpus/TARGET, which ./test.sh replays; an input that finds a
# fault is kept in build/fuzz/findings and the script fails. Add it to the
# corpus once the fault is mended.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/packages.sh"
"$root/scripts/install-packages.sh" "${RUN_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(record datafile conversion oledate datetext import)

build="$root/build/fuzz"
if [ ! -f "$build/build.ninja" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_FUZZ=ON -DCORVANE_TESTS=OFF \
        -DCORVANE_BENCH=OFF
fi
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# Leaks are LeakSanitizer's to find, in our code only.
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
failed=0
for target in "${targets[@]}"; do
    corpus="$root/tests/fuzz/corpus/$target"
    work="$build/work/$target"
    findings="$build/findings"
    mkdir -p "$work" "$findings" "$corpus"
    # Long enough for what each target reads: a slot, a few slots with a
    # journal, a few previous-format slots, a double, a typed date, a few
    # vCards or CSV rows.
    case $target in
        record) max_len=3000 ;; datafile) max_len=16384 ;; conversion) max_len=8192 ;;
        oledate) max_len=16 ;; import) max_len=16384 ;; *) max_len=256 ;;
    esac
    echo "== $target: $seconds s"
    if ! "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=$max_len \
        -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/$target-" \
        "$work" "$corpus" 2>&1 | tee "$build/$target.log" | grep -E "^(#[0-9]+ +DONE|stat::|==[0-9]+==ERROR|SUMMARY)"; then
        :
    fi
    if grep -qE "^==[0-9]+==ERROR|check failed|^SUMMARY|deadly signal" "$build/$target.log"; then
        echo "!! $target found a fault: see $build/$target.log and $findings" >&2
        failed=1
        continue
    fi
    "$build/tests/fuzz/fuzz_$target" -merge=1 -max_len=$max_len "$corpus" "$work" >/dev/null 2>&1
    echo "   corpus: $(find "$corpus" -type f | wc -l) inputs"
done
exit $failed
