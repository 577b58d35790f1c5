#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (CMake option KAVEX_FUZZ: -fsanitize=fuzzer,address,
# undefined) in build-fuzz and runs each (or those named in FUZZ_TARGETS) for FUZZ_SECONDS
# seconds (60 by default) on a working corpus that starts from the stored inputs in fuzz/corpus/<target>/. Prints executions per
# second and total executions per target; exits 1 when a target found a crash, a leak,
# undefined behaviour or a timeout (the input is kept in build-fuzz/artifacts/: once mended, add
# it to fuzz/corpus/<target>/ so that make test replays it).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"
read -r -a targets <<<"${FUZZ_TARGETS:-BmpFuzz TiffFuzz JpegFuzz DatasetNamesFuzz}"
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)

CC=clang CXX=clang++ cmake -S "$root" -B "$out" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKAVEX_TESTS=OFF -DKAVEX_WITH_QT=OFF -DKAVEX_FUZZ=ON >/dev/null
cmake --build "$out" --target "${targets[@]}" -j "$(nproc)" >/dev/null

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$out/corpus" "$out/artifacts"
failed=0
printf '%-18s %12s %16s  %s\n' target exec/s executions result
for t in "${targets[@]}"; do
    mkdir -p "$out/corpus/$t"
    log="$out/$t.log"
    status=0
    "$out/bin/$t" "$out/corpus/$t" "$root/fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/artifacts/$t-" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    result="ok"
    if [[ $status -ne 0 ]]; then
        result="FINDING (see $log)"
        failed=1
    fi
    printf '%-18s %12s %16s  %s\n' "$t" "${speed:-?}" "${runs:-?}" "$result"
done
exit $failed
