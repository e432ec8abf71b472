#!/usr/bin/env bash
# Measures zofrin-cli against the tools people would otherwise use:
#   - extract on a 200 MiB corpus of real text and HTML from /usr/share, against
#     rg -o, LC_ALL=C grep -oE and a bare memchr count of '@';
#   - extract on 200 MiB of "a@a@a@..." against rg -o;
#   - extract on 64 KiB runs of address characters between '@'s, 50 and
#     100 MiB, for time and peak memory;
#   - union, difference and intersection of two lists of 1,000,000 addresses
#     against LC_ALL=C sort -u of the same lists as text (time and peak memory);
#     with --big also at 10,000,000 addresses each.
# Inputs are made in bench/data/ when missing. Times are medians of a few runs
# (hyperfine when installed); peak memory comes from /usr/bin/time.
#
# Usage: bash bench/compare.sh [BUILD_DIR] [--big] [--runs N]
#   BUILD_DIR  a CMake build folder of this repository (default: build/), best
#              configured with -DCMAKE_BUILD_TYPE=Release; missing programs are
#              built in it.
set -eu

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build
big=0
runs=5
while [ $# -gt 0 ]; do
  case $1 in
    --big) big=1 ;;
    --runs) runs=$2; shift ;;
    -h|--help) awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; exit 0 ;;
    -*) echo "compare.sh: unknown option $1" >&2; exit 2 ;;
    *) build=$(cd "$1" && pwd) ;;
  esac
  shift
done

# Slow peers run fewer times, the shortest figures more often.
slow_runs=$((runs < 3 ? runs : 3))
fast_runs=$((runs * 4))

data=$repo/bench/data
out=$data/out
mkdir -p "$data" "$out"

have() { command -v "$1" > /dev/null 2>&1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# ---- programs ---------------------------------------------------------------

cli=$build/cli/zofrin-cli
make_lists=$build/bench/make_lists
memchr_count=$build/bench/memchr_count
if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "compare.sh: $build is no build folder; configure one first:" >&2
  echo "  cmake -S $repo -B $build -DCMAKE_BUILD_TYPE=Release" >&2
  exit 2
fi
# Brings the programs up to date (quick when they are).
if ! cmake --build "$build" --target zofrin-cli make_lists memchr_count -j 2 \
    > "$tmp/build.log" 2>&1; then
  cat "$tmp/build.log" >&2
  echo "compare.sh: building failed (is $build configured with ZOFRIN_BUILD_BENCHMARKS=ON?)" >&2
  exit 2
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2> /dev/null || true)
case $build_type in
  Release|RelWithDebInfo) ;;
  *) echo "compare.sh: warning: $build is a '${build_type:-no type}' build; use Release" >&2 ;;
esac
for tool in rg grep sort; do
  have "$tool" || { echo "compare.sh: $tool is missing (apt-get install ripgrep)" >&2; exit 2; }
done
time_bin=
[ -x /usr/bin/time ] && time_bin=/usr/bin/time
[ -n "$time_bin" ] ||
  echo "compare.sh: /usr/bin/time is missing (apt-get install time): no peak memory" >&2
have hyperfine ||
  echo "compare.sh: hyperfine is missing (apt-get install hyperfine): timing with a loop" >&2

# ---- inputs -----------------------------------------------------------------

mib=$((1024 * 1024))
corpus_size=$((200 * mib))

# Writes the bytes of FILE again and again until SIZE bytes went to stdout.
repeat_to_size() {
  local file=$1 size=$2
  [ -s "$file" ] || { echo "compare.sh: $file is empty" >&2; exit 1; }
  # cat fails once head has all it wants, which ends the loop.
  while cat "$file" 2> /dev/null; do :; done | head -c "$size"
}

# Up to LIMIT bytes of the files found by `find ARGS...`, in name order,
# uncompressed when gzipped.
gather() {
  local limit=$1
  shift
  find "$@" -type f -print0 2> /dev/null | sort -z | xargs -0 -r zcat -f 2> /dev/null |
    head -c "$limit" || true
}

make_corpus() {
  local dir=$data/corpus
  [ -f "$dir/.complete" ] && return
  echo "Making the 200 MiB corpus in $dir ..."
  rm -rf "$dir" "$dir.tmp"
  mkdir -p "$dir.tmp"
  local seed=$data/corpus-seed.txt
  {
    gather $((40 * mib)) /usr/share/doc -maxdepth 2 -name copyright
    gather $((60 * mib)) /usr/share \( -name '*.html' -o -name '*.htm' \)
    gather $((60 * mib)) /usr/share/doc -name 'changelog*'
    gather $((60 * mib)) /usr/share/man -name '*.gz'
  } > "$seed"
  echo "  seed: $(($(stat -c %s "$seed") / mib)) MiB of copyright files, HTML, changelogs," \
    "man pages"
  # Files of 4 MiB each, so that extract opens and scans many files.
  repeat_to_size "$seed" "$corpus_size" |
    split -b 4M -d -a 3 --additional-suffix=.txt - "$dir.tmp/part-"
  rm -f "$seed"
  touch "$dir.tmp/.complete"
  mv "$dir.tmp" "$dir"
}

make_atat() {
  local file=$data/atat-200MiB.txt
  [ -f "$file" ] && return
  echo "Making $file ..."
  yes 'a@' | tr -d '\n' | head -c "$corpus_size" > "$file.tmp" || true
  mv "$file.tmp" "$file"
}

# Runs of 65,536 address characters ending in ".com", each followed by an '@':
# every '@' stands between two whole runs and forms a 131,073-byte address.
make_runs() {
  local size_mib=$1
  local file=$data/runs64k-${size_mib}MiB.txt
  [ -f "$file" ] && return
  echo "Making $file ..."
  local chunk=$data/run-chunk.tmp
  { head -c 65532 /dev/zero | tr '\0' x; printf '.com@'; } > "$chunk"
  repeat_to_size "$chunk" $((size_mib * mib)) > "$file.tmp"
  rm -f "$chunk"
  mv "$file.tmp" "$file"
}

make_list_pair() {
  local count=$1 dir=$2
  [ -f "$dir/.complete" ] && return
  echo "Making two lists of $count addresses in $dir ..."
  rm -rf "$dir"
  mkdir -p "$dir"
  "$make_lists" "$count" "$dir"
  touch "$dir/.complete"
}

make_corpus
make_atat
make_runs 50
make_runs 100
make_list_pair 1000000 "$data/lists-1M"
[ "$big" = 1 ] && make_list_pair 10000000 "$data/lists-10M"

# ---- measuring --------------------------------------------------------------

# measure RUNS COMMAND [null]: sets T to the median wall time in seconds and M
# to the peak resident memory in MB (or n/a). Output goes through a pipe and
# is dropped (grep takes a shortcut when its output is /dev/null itself); with
# "null" it goes to /dev/null, for output so large that the pipe's reader
# would be measured rather than the command.
measure() {
  local n=$1 cmd=$2 output=${3:-pipe}
  if have hyperfine; then
    if ! hyperfine --style none --warmup 1 --runs "$n" --output "$output" \
        --export-json "$tmp/h.json" "$cmd" > /dev/null 2> "$tmp/h.err"; then
      cat "$tmp/h.err" >&2
      exit 1
    fi
    T=$(grep -o '"median": *[0-9.e+-]*' "$tmp/h.json" | head -1 | sed 's/.*: *//')
  else
    local sink="| cat > /dev/null"
    [ "$output" = null ] && sink="> /dev/null"
    sh -c "$cmd $sink"  # warm-up
    local i start end
    : > "$tmp/times"
    for ((i = 0; i < n; i++)); do
      start=$(date +%s%N)
      sh -c "$cmd $sink"
      end=$(date +%s%N)
      awk "BEGIN { print ($end - $start) / 1e9 }" >> "$tmp/times"
    done
    T=$(sort -g "$tmp/times" | awk '{ v[NR] = $1 } END {
      print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
  fi
  if [ -n "$time_bin" ]; then
    "$time_bin" -f '%M' -o "$tmp/mem" sh -c "$cmd" | cat > /dev/null
    M=$(awk 'END { printf "%.0f", $1 * 1.024 / 1000 }' "$tmp/mem")
  else
    M=n/a
  fi
}

# Arithmetic on decimals.
calc() { awk "BEGIN { printf \"$1\", $2 }"; }
# ok when the expression holds, else MISSED.
verdict() { awk "BEGIN { print ($1) ? \"ok\" : \"MISSED\" }"; }

# row LABEL BYTES: prints the last measurement with its throughput.
row() {
  local label=$1 bytes=${2:-0}
  if [ "$bytes" -gt 0 ]; then
    printf '  %-44s %8.3f s %9s MB/s   peak %6s MB\n' "$label" "$T" \
      "$(calc '%.0f' "$bytes / $T / 1000000")" "$M"
  else
    printf '  %-44s %8.3f s                  peak %6s MB\n' "$label" "$T" "$M"
  fi
}

q() { printf '%q' "$1"; }
pattern='[A-Za-z0-9._-]+@[A-Za-z0-9._-]+'
qcli=$(q "$cli")

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -1)"
echo "Tools: $(rg --version 2> /dev/null | head -1), $(grep --version | head -1)," \
  "$(sort --version | head -1)"
echo "Build: $build (${build_type:-no type}); $runs runs per figure unless said"

# ---- scanning ---------------------------------------------------------------

corpus_files=("$data"/corpus/part-*.txt)
corpus_args=""
for f in "${corpus_files[@]}"; do corpus_args+=" $(q "$f")"; done
corpus_bytes=$(cat "${corpus_files[@]}" | wc -c)

echo
echo "== extract: corpus of $((corpus_bytes / mib)) MiB in ${#corpus_files[@]} files" \
  "($fast_runs runs) =="
measure "$fast_runs" "$qcli extract$corpus_args"
t_zofrin=$T; row "zofrin-cli extract" "$corpus_bytes"
measure "$fast_runs" "rg -o --no-filename --no-line-number '$pattern'$corpus_args"
t_rg=$T; row "rg -o (default threads)" "$corpus_bytes"
measure "$fast_runs" "rg -j1 -o --no-filename --no-line-number '$pattern'$corpus_args"
t_rg1=$T; row "rg -j1 -o (one thread)" "$corpus_bytes"
measure "$fast_runs" "LC_ALL=C grep -ohE '$pattern'$corpus_args"
t_grep=$T; row "LC_ALL=C grep -oE" "$corpus_bytes"
measure "$fast_runs" "$(q "$memchr_count")$corpus_args"
t_memchr=$T; row "memchr count of '@'" "$corpus_bytes"
n_zofrin=$(eval "$qcli extract$corpus_args" | wc -l)
n_rg=$(eval "rg -o --no-filename --no-line-number '$pattern'$corpus_args" | wc -l)
n_at=$(eval "$(q "$memchr_count")$corpus_args")
echo "  found: zofrin-cli $n_zofrin addresses, rg $n_rg candidates (rg keeps those the"
echo "         validity rule refuses too), $n_at '@' in all"
echo "  zofrin-cli vs rg:       $(calc '%.2f' "$t_rg / $t_zofrin")x faster" \
  "(target >= 2x: $(verdict "$t_rg / $t_zofrin >= 2"));" \
  "vs rg -j1: $(calc '%.2f' "$t_rg1 / $t_zofrin")x"
echo "  zofrin-cli vs grep:     $(calc '%.2f' "$t_grep / $t_zofrin")x faster"
echo "  zofrin-cli vs memchr:   takes $(calc '%.2f' "$t_zofrin / $t_memchr")x its time" \
  "(target <= 3x: $(verdict "$t_zofrin / $t_memchr <= 3"))"

atat=$data/atat-200MiB.txt
atat_bytes=$(stat -c %s "$atat")
echo
echo "== extract: a@a@a@... ($((atat_bytes / mib)) MiB, one line) =="
measure "$runs" "$qcli extract $(q "$atat")"
t_zofrin=$T; row "zofrin-cli extract" "$atat_bytes"
measure "$slow_runs" "rg -o --no-filename --no-line-number '$pattern' $(q "$atat")"
t_rg=$T; row "rg -o ($slow_runs runs)" "$atat_bytes"
echo "  zofrin-cli vs rg:       $(calc '%.2f' "$t_rg / $t_zofrin")x faster" \
  "(target >= 5x: $(verdict "$t_rg / $t_zofrin >= 5"))"

echo
echo "== extract: 64 KiB runs of address characters between '@'s =="
declare -A t_runs m_runs
for size in 50 100; do
  file=$data/runs64k-${size}MiB.txt
  # Each address is 128 KiB long: the output is twice the input.
  measure "$fast_runs" "$qcli extract $(q "$file")" null
  t_runs[$size]=$T; m_runs[$size]=$M; row "zofrin-cli extract, $size MiB" "$(stat -c %s "$file")"
done
n_runs=$("$cli" extract "$data/runs64k-100MiB.txt" | wc -l)
echo "  100 MiB: $n_runs addresses of 131,073 bytes found"
for size in 50 100; do
  file=$data/runs64k-${size}MiB.txt
  measure "$slow_runs" "rg -o --no-filename --no-line-number '$pattern' $(q "$file")"
  row "rg -o, $size MiB ($slow_runs runs)" "$(stat -c %s "$file")"
done
echo "  zofrin-cli 100 MiB / 50 MiB: time $(calc '%.2f' "${t_runs[100]} / ${t_runs[50]}")x" \
  "(linear: about 2, less while start-up weighs), peak memory ${m_runs[50]} MB vs" \
  "${m_runs[100]} MB (bounded: about equal)"

# ---- sets -------------------------------------------------------------------

# The peak memory of the last measurement against a limit in MB.
memory_verdict() {
  if [ "$M" = n/a ]; then echo "n/a"; else verdict "$M < $1"; fi
}

cat > "$tmp/union.py" << 'EOF'
import sys
a = set(open(sys.argv[1], "rb"))
b = set(open(sys.argv[2], "rb"))
open(sys.argv[3], "wb").writelines(a | b)
EOF

# set_ops FOLDER RUNS LABEL [TIME_LIMIT MEMORY_LIMIT]: with a time limit, the
# limits are the targets and sort -u is only a reference; without one, being
# faster than sort -u is.
set_ops() {
  local dir=$1 n=$2 label=$3 time_limit=${4:-} memory_limit=${5:-400}
  local a_q b_q op t_sort m_sort
  a_q=$(q "$dir/A")
  b_q=$(q "$dir/B")
  echo
  echo "== sets: two lists of $label addresses ($n runs per figure) =="
  measure "$n" "LC_ALL=C sort -u ${a_q}.txt ${b_q}.txt -o $(q "$out/sorted.txt")"
  t_sort=$T m_sort=$M
  row "LC_ALL=C sort -u A.txt B.txt"
  if have python3 && [ "$label" = 1M ]; then
    measure "$n" "python3 $(q "$tmp/union.py") ${a_q}.txt ${b_q}.txt $(q "$out/python.txt")"
    row "python3 set union (for reference)"
  fi
  for op in union difference intersection; do
    measure "$n" "$qcli $op ${a_q}.lse ${b_q}.lse -o $(q "$out/$op.lse")"
    row "zofrin-cli $op"
    local line="    $(calc '%.2f' "$t_sort / $T")x faster than sort -u"
    [ -z "$time_limit" ] && line+=" (target > 1: $(verdict "$t_sort / $T > 1"))"
    if [ "$M" != n/a ] && [ "$m_sort" != n/a ]; then
      line+=", peak memory $(calc '%.2f' "$M / $m_sort")x sort's"
    fi
    line+="; peak < $memory_limit MB: $(memory_verdict "$memory_limit")"
    [ -n "$time_limit" ] && line+="; time < $time_limit s: $(verdict "$T < $time_limit")"
    echo "$line; keys written: $("$cli" list --count "$out/$op.lse")"
  done
  echo "  sort -u wrote $(wc -l < "$out/sorted.txt") lines (the union's count)"
}

set_ops "$data/lists-1M" "$runs" 1M "" 400
[ "$big" = 1 ] && set_ops "$data/lists-10M" "$slow_runs" 10M 15 3000
rm -f "$out"/*
echo
