#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for a bounded time.
#   fuzz/run.sh [SECONDS]   (default 60 seconds per target)
# Each target fuzz_<name> starts from a copy of fuzz/corpus/<name>/ in
# fuzz/corpus-run/<name>/ (the seeds in git are never changed) and uses
# fuzz/<name>.dict when present. Exits non-zero if a target crashes; the
# crashing input is left in build/fuzz/artifacts/.
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]  (a whole number above 0)" >&2
  exit 2
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
cd "$root"

cmake --preset fuzz
cmake --build --preset fuzz

bin_dir="$root/build/fuzz/fuzz"
shopt -s nullglob
targets=("$bin_dir"/fuzz_*)
if [ "${#targets[@]}" -eq 0 ]; then
  echo "no fuzz targets in $bin_dir" >&2
  exit 1
fi

artifacts="$root/build/fuzz/artifacts"
mkdir -p "$artifacts"
failed=()
for target in "${targets[@]}"; do
  [ -x "$target" ] && [ -f "$target" ] || continue
  exe="$(basename "$target")"
  name="${exe#fuzz_}"
  corpus="$here/corpus-run/$name"
  mkdir -p "$corpus"
  if [ -d "$here/corpus/$name" ]; then
    cp -a "$here/corpus/$name/." "$corpus/"
  fi
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048
        -print_final_stats=1 -artifact_prefix="$artifacts/$name-")
  if [ -f "$here/$name.dict" ]; then
    args+=(-dict="$here/$name.dict")
  fi
  log="$artifacts/$name.log"
  echo "== $exe for ${seconds}s (log: $log)"
  if "$target" "${args[@]}" "$corpus" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$log" || true
  else
    failed+=("$exe")
    tail -n 40 "$log" >&2
  fi
done

if [ "${#failed[@]}" -ne 0 ]; then
  echo "fuzz targets that failed: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
echo "all fuzz targets ran ${seconds}s without a crash"
