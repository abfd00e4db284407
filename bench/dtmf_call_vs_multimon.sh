#!/usr/bin/env bash
# The model's cost with every detector at work, against one outside decoder:
# a 612 s call in which the far end sends 1,216 random DTMF digits (300 ms
# on, 200 ms off; the tool's sixteen tones armed, as tvxsim arms them) run
# offline by tvxsim with its recording folder, then multimon-ng's DTMF
# decoder alone on the recorded line receive. The two run by turns, nine
# times each; the best wall-clock times give the ratio (multimon-ng's time
# over tvxsim's: above 1 the whole model is faster than the one decoder).
# The digits of both must be exactly the scenario's, or the run fails.
#   bench/dtmf_call_vs_multimon.sh [TVXSIM...]
# Each TVXSIM (default: the default preset's build/default/simulator/tvxsim)
# is measured in the same run, by turns with multimon-ng on its own
# recording, and every ratio is taken against multimon-ng's best time of the
# run, so that two builds compare on an equally busy machine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs=9
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=("$root/build/default/simulator/tvxsim")
for p in "${programs[@]}"; do
  [ -x "$p" ] || { echo "not a program: $p (build the default preset first)" >&2; exit 1; }
done
command -v multimon-ng >/dev/null || { echo "multimon-ng is not installed (scripts/install-deps.sh)" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/tvx-dtmf-call.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# The call: the far end rings, the handset answers at 1 s, and from 2 s the
# far end keys 19 strings of 64 random digits (a scenario's longest), one
# string every 32 s. RANDOM with a fixed seed gives the same digits each run.
keys="0123456789*#ABCD"
RANDOM=1216
expected=""
{
  echo "0 far ring"
  echo "1000 phone offhook"
  for ((s = 0; s < 19; ++s)); do
    digits=""
    for ((d = 0; d < 64; ++d)); do
      digits+="${keys:RANDOM % 16:1}"
    done
    expected+="$digits"
    echo "$((2000 + s * 32000)) far dtmf \"$digits\" 300 200"
  done
} >"$work/call.scn"
until_ms=612000

# now_us: the wall clock in microseconds.
now_us() { local t="$EPOCHREALTIME"; echo $((10#${t%.*} * 1000000 + 10#${t#*.})); }

# run_model INDEX: tvxsim number INDEX on the call, recording into its own folder;
# prints the microseconds it took.
run_model() {
  local folder="$work/rec$1" start end
  rm -rf "$folder"
  mkdir -p "$folder"
  start="$(now_us)"
  "${programs[$1]}" "$work/call.scn" --until "$until_ms" --record "$folder" >"$work/events$1.txt"
  end="$(now_us)"
  echo $((end - start))
}

# run_decoder INDEX: multimon-ng on that tvxsim's line receive; prints the microseconds.
run_decoder() {
  local start end
  start="$(now_us)"
  multimon-ng -q -c -a DTMF -t wav "$work/rec$1/line-rx.wav" >"$work/decoded$1.txt" 2>/dev/null
  end="$(now_us)"
  echo $((end - start))
}

check_digits() {
  local what="$1" got="$2"
  if [ "$got" != "$expected" ]; then
    echo "$what read ${#got} digits that are not the scenario's ${#expected}" >&2
    exit 1
  fi
}

declare -a best_model
for i in "${!programs[@]}"; do
  best_model[i]=0
done
best_decoder=0
for ((r = 0; r < runs; ++r)); do
  for i in "${!programs[@]}"; do
    m="$(run_model "$i")"
    d="$(run_decoder "$i")"
    check_digits "tvxsim ${programs[$i]}" "$(sed -n 's/^[0-9]* 48 DTMF digit detected: //p' "$work/events$i.txt" | tr -d '\n')"
    check_digits "multimon-ng" "$(sed -n 's/^DTMF: //p' "$work/decoded$i.txt" | tr -d '\n')"
    if [ "${best_model[i]}" -eq 0 ] || [ "$m" -lt "${best_model[i]}" ]; then best_model[i]=$m; fi
    if [ "$best_decoder" -eq 0 ] || [ "$d" -lt "$best_decoder" ]; then best_decoder=$d; fi
  done
done

echo "A 612 s call of ${#expected} far-end DTMF digits, best of $runs by turns; the digits of both exact:"
awk -v d="$best_decoder" 'BEGIN { printf "  multimon-ng -a DTMF on the recorded line receive: %.3f s\n", d / 1e6 }'
for i in "${!programs[@]}"; do
  awk -v p="${programs[$i]}" -v m="${best_model[i]}" -v d="$best_decoder" 'BEGIN {
    printf "  %s --record: %.3f s; multimon-ng / tvxsim = %.2f\n", p, m / 1e6, d / m }'
done
