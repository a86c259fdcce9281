#!/bin/bash
# Builds the fuzz targets (fuzz/) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, then runs each one for the
# given number of seconds (default 60), starting from its seeds in
# fuzz/corpus/<target>/.
#
#   bash tools/fuzz.sh          # a minute per target
#   bash tools/fuzz.sh 5        # a short run, as CI does
#   FUZZ_TARGETS="ini_file" bash tools/fuzz.sh 600
#
# Inputs that reach new code are kept in build-fuzz/corpus/<target>/ and used
# again by the next run (the seeds in the repository stay as they are). An
# input that crashes, leaks or breaks a property is saved in
# build-fuzz/findings/<target>/ and the script fails; run the target on that
# file to see it again: build-fuzz/fuzz/fuzz_<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
targets=(${FUZZ_TARGETS:-reply_handler test_file record_file ini_file skin_file pen_markers})

bash tools/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQZ_FUZZ=ON -DQZ_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target qz_fuzzers

# Longest input per target: a few replies in a row, a test file and a little
# more, two record blocks and a torn third, a settings file, a skin, a picture.
declare -A max_len=(
  [reply_handler]=12000 [test_file]=8300 [record_file]=70000
  [ini_file]=4096 [skin_file]=20000 [pen_markers]=4096
)

# Allocation stacks are cut to the allocating function: Qt is built without
# frame pointers, so deeper frames of allocations made inside it are garbage,
# and AddressSanitizer keeps every distinct one, which grows the memory a few
# kilobytes an input until the RSS limit. Crash and access reports keep their
# whole stacks; run a finding again without this to see where its memory
# came from.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:allocator_may_return_null=1:malloc_context_size=2"
export LSAN_OPTIONS="suppressions=${PWD}/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

failed=()
for target in "${targets[@]}"; do
  corpus="build-fuzz/corpus/${target}"
  findings="build-fuzz/findings/${target}"
  mkdir -p "${corpus}" "${findings}"
  echo "=== fuzz_${target}: ${seconds} s"
  if ! build-fuzz/fuzz/fuzz_${target} -max_total_time="${seconds}" -max_len="${max_len[${target}]:-4096}" \
       -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="${findings}/" \
       "${corpus}" "fuzz/corpus/${target}" >"build-fuzz/fuzz_${target}.log" 2>&1; then
    failed+=("${target}")
    tail -n 60 "build-fuzz/fuzz_${target}.log"
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+.*DONE' "build-fuzz/fuzz_${target}.log" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]} (inputs in build-fuzz/findings/)"
  exit 1
fi
echo "Fuzzing: no findings in ${targets[*]}"
