#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (address and undefined-behaviour
# sanitizers) in build-fuzz/ and runs each for SECONDS (default 60). Seeds come from examples/,
# tests/data and tests/fuzz/corpus; what a run learns stays in build-fuzz/corpus. A crash,
# a leak or undefined behaviour fails the script and leaves its input in build-fuzz/crashes/.
# FUZZ_JOBS=N runs N targets side by side (default 1); FUZZ_TARGETS="a b" runs only those ("_fuzz"
# may be left off); FUZZ_SEED=N repeats the same sequence of inputs (CI uses one seed, so a run is reproducible).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=${FUZZ_JOBS:-1}
all_targets=(text_fuzz profile_fuzz comment_fuzz settings_fuzz deco_table_fuzz series_fuzz datatrak_fuzz
    kora_fuzz vyper_fuzz uddf_fuzz)
read -r -a targets <<<"${FUZZ_TARGETS:-${all_targets[*]}}"
targets=("${targets[@]/%_fuzz/}")  # "datatrak" and "datatrak_fuzz" name the same target
targets=("${targets[@]/%/_fuzz}")

if [[ ! -f build-fuzz/CMakeCache.txt ]]; then
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
        -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
        -DMARELOS_CORE_ONLY=ON -DMARELOS_BUILD_TESTS=OFF -DMARELOS_BUILD_BENCH=OFF \
        -DMARELOS_BUILD_FUZZ=ON >/dev/null
fi
if ! cmake --build build-fuzz --parallel >build-fuzz/build.log 2>&1; then
    tail -n 30 build-fuzz/build.log >&2
    exit 1
fi

# The seeds of a target: the sample files its input looks like, and its own corpus folder.
seeds_of() {
    local folders=("tests/fuzz/corpus/${1%_fuzz}")
    case "$1" in
        profile_fuzz | comment_fuzz) folders+=(examples) ;;
        text_fuzz) folders+=(examples tests/data) ;;
        uddf_fuzz) folders+=(tests/data) ;;
    esac
    for folder in "${folders[@]}"; do
        [[ -d $folder ]] && echo "$folder"
    done
    return 0
}

# Limits that keep one input within reach of a short run: the table generator calculates a dive
# for every cell, so its input stays short.
options_of() {
    case "$1" in
        deco_table_fuzz) echo -max_len=96 ;;
        uddf_fuzz) echo -max_len=16384 ;;
        *) echo -max_len=8192 ;;
    esac
}

run_target() {
    local target=$1 status=0
    mkdir -p "build-fuzz/corpus/$target" build-fuzz/crashes build-fuzz/logs
    # shellcheck disable=SC2046
    "build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -seed="${FUZZ_SEED:-0}" -timeout=60 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/crashes/$target-" $(options_of "$target") \
        "build-fuzz/corpus/$target" $(seeds_of "$target") >"build-fuzz/logs/$target.log" 2>&1 ||
        status=$?
    echo "$status" >"build-fuzz/logs/$target.status"
}

running=0
for target in "${targets[@]}"; do
    run_target "$target" &
    if ((++running >= jobs)); then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

failed=()
for target in "${targets[@]}"; do
    log="build-fuzz/logs/$target.log"
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [[ $(cat "build-fuzz/logs/$target.status") == 0 ]]; then
        printf '%-16s %12s Ausführungen in %s s\n' "$target" "${runs:-?}" "$seconds"
    else
        printf '%-16s FEHLER nach %s Ausführungen, siehe %s\n' "$target" "${runs:-?}" "$log"
        grep -m3 -E 'ERROR|runtime error|SUMMARY' "$log" | sed 's/^/    /' || true
        failed+=("$target")
    fi
done
if ((${#failed[@]})); then
    echo "Fuzzing fand Fehler in: ${failed[*]} (Eingaben in build-fuzz/crashes/)" >&2
    exit 1
fi
