#!/bin/sh
# Times the whole `varnoque --compare` process against GNU diff on the diff workloads.
#   bench/diff/compare-vs-gnu-diff.sh [VARNOQUE] [RUNS]
# VARNOQUE defaults to build/bin/varnoque; the workload generator diff_workloads is taken from the
# same folder. Each figure is the best of RUNS (default 5) wall-clock runs. Prints figures only.
set -eu

varnoque=${1:-build/bin/varnoque}
runs=${2:-5}
generator=$(dirname "$varnoque")/diff_workloads
for tool in "$varnoque" "$generator"; do
  if [ ! -x "$tool" ]; then
    echo "missing $tool (build the targets varnoque and diff_workloads)" >&2
    exit 2
  fi
done
command -v diff >/dev/null || { echo "GNU diff is not installed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" "$work" >/dev/null

now() { date +%s.%N; }

# best_of COMMAND...: the fastest wall-clock time of the runs, in seconds. Exit status 1 only
# means "differences" for both programs.
best_of() {
  best=""
  i=0
  while [ "$i" -lt "$runs" ]; do
    start=$(now)
    status=0
    "$@" >/dev/null 2>&1 || status=$?
    end=$(now)
    if [ "$status" -gt 1 ]; then
      echo "failed ($status): $*" >&2
      exit 2
    fi
    best=$(echo "$start $end ${best:-1e9}" | awk '{ t = $2 - $1; print (t < $3 ? t : $3) }')
    i=$((i + 1))
  done
  echo "$best"
}

printf '%-22s %10s %10s %14s %12s %16s\n' workload varnoque diff "diff --minimal" "vs diff" "vs --minimal"
for left in "$work"/*-left.txt; do
  name=$(basename "$left" -left.txt)
  right="$work/$name-right.txt"
  ours=$(best_of "$varnoque" --compare "$left" "$right" --format tsv)
  plain=$(best_of diff "$left" "$right")
  minimal=$(best_of diff --minimal "$left" "$right")
  echo "$name $ours $plain $minimal" |
    awk '{ printf "%-22s %9.3fs %9.3fs %13.3fs %11.2fx %15.2fx\n", $1, $2, $3, $4, $2 / $3, $2 / $4 }'
done
echo "(ratios: varnoque time divided by diff time; below 1 means varnoque is faster)"
