#!/usr/bin/env bash
# The hostile-input checks: the whole test suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer (its own build folder, any report fails), then a short
# run of each libFuzzer target from seeds the test support writes. Without clang
# the sanitizer run uses g++ and the fuzz runs are skipped.
#   FUZZ_SECONDS  length of each fuzz run (default 60)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
out="$here/build-sanitize"
fuzz_seconds="${FUZZ_SECONDS:-60}"

cxx=g++
fuzz=OFF
for c in clang++-14 clang++; do
  if command -v "$c" >/dev/null 2>&1; then cxx="$c"; fuzz=ON; break; fi
done
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

start=$(date +%s)
# -O1 keeps the sanitized build quick to compile and still quick to run.
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" \
  -DLEAFVIEW_SANITIZE=ON -DLEAFVIEW_FUZZ="$fuzz" "${launcher[@]}" >/dev/null
cmake --build "$out" -j "$(nproc)"
echo "sanitized build: $(( $(date +%s) - start )) s"

# A hostile header may ask for a terabyte. An ordinary build's malloc refuses what
# exceeds memory and swap together, and the reader then reports the archive as
# unreadable; the sanitizer's allocator is told to refuse the same requests (null,
# not a stop, and nothing reserved), so both builds take one path.
mem_mb=$(awk '/^(MemTotal|SwapTotal):/ {kb += $2} END {print int(kb / 1024)}' /proc/meminfo)
export ASAN_OPTIONS="allocator_may_return_null=1:max_allocation_size_mb=${mem_mb}:detect_leaks=0:abort_on_error=1:print_summary=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

start=$(date +%s)
(cd "$out" && ctest --output-on-failure -j 2 --timeout 900)
echo "sanitized tests: $(( $(date +%s) - start )) s"

if [ "$fuzz" = ON ]; then
  seeds="$out/fuzz-seeds"
  rm -rf "$seeds"
  fixtures=()
  [ -d "$here/../shared/fixtures/libarchive" ] && fixtures=("$here/../shared/fixtures/libarchive")
  "$out/bin/make_fuzz_seeds" "$seeds" "${fixtures[@]}"
  for target in fuzz_archive_list:archive fuzz_archive_extract:archive fuzz_image:image; do
    name="${target%%:*}"
    corpus="$out/fuzz-corpus/$name"
    mkdir -p "$corpus" "$out/fuzz-artifacts"
    echo "fuzzing $name for ${fuzz_seconds} s"
    # A single request past 2 GiB that an ordinary build would grant is a finding.
    "$out/bin/$name" -max_total_time="$fuzz_seconds" -timeout=25 -rss_limit_mb=4096 -malloc_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$out/fuzz-artifacts/$name-" "$corpus" "$seeds/${target##*:}" \
      2>"$out/fuzz-$name.log" || { tail -n 60 "$out/fuzz-$name.log"; exit 1; }
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$out/fuzz-$name.log" | sed "s/^/  $name /"
  done
fi
