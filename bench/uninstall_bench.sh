#!/usr/bin/env bash
# The uninstall's deletion of an installed tree against `rm -rf` of a copy of the same tree:
# 10,000 files of 1 KiB in 520 folders, ROUNDS rounds each (default 5, the order alternating),
# whole-process wall-clock times. Prints both medians and their ratio (target: at most 1.5).
# Usage: bench/uninstall_bench.sh [ROUNDS]
# Everything happens in one temporary folder (mktemp -d), removed at the end.
set -euo pipefail

rounds=${1:-5}
source_root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
trap 'exit 1' INT TERM

# The driver runs the uninstall's own sequence on one folder, built optimised from the
# sources (the project builds for debugging by default).
cat > "$work/driver.cpp" <<'EOF'
#include "engine/folder_tree.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    engine::FolderTree tree([] { return true; });
    tree.DeleteFolderTree(argv[1], "*.*", true);
    tree.addRemovedFolder(argv[1]);
    tree.removeCollectedFolders();
    return 0;
}
EOF
g++ -std=c++20 -O2 -Wall -Wextra -I"$source_root" "$work/driver.cpp" \
    "$source_root/engine/folder_tree.cpp" "$source_root"/platform/*.cpp \
    $(pkg-config --cflags --libs fontconfig zlib) -o "$work/driver"

# 20 folders of 25 folders of 20 files each.
template="$work/template"
kilobyte=$(printf '%1024s' '')
for top in $(seq -w 1 20); do
    for sub in $(seq -w 1 25); do
        folder="$template/folder$top/sub$sub"
        mkdir -p "$folder"
        for file in $(seq -w 1 20); do
            printf '%s' "$kilobyte" > "$folder/file$file.dat"
        done
    done
done
files=$(find "$template" -type f | wc -l)
folders=$(find "$template" -type d | wc -l)
echo "tree: $files files in $folders folders"

now() { date +%s%N; }
milliseconds() { echo $(( ($2 - $1) / 1000000 )); }

time_driver() {
    local start end
    start=$(now); "$work/driver" "$1"; end=$(now)
    [ ! -e "$1" ] || { echo "the uninstall left $1 behind" >&2; exit 1; }
    milliseconds "$start" "$end"
}

time_rm() {
    local start end
    start=$(now); rm -rf -- "$1"; end=$(now)
    milliseconds "$start" "$end"
}

uninstall_times=()
rm_times=()
for round in $(seq 1 "$rounds"); do
    cp -a "$template" "$work/installed"
    cp -a "$template" "$work/copy"
    sync
    if (( round % 2 )); then
        uninstall_times+=("$(time_driver "$work/installed")")
        rm_times+=("$(time_rm "$work/copy")")
    else
        rm_times+=("$(time_rm "$work/copy")")
        uninstall_times+=("$(time_driver "$work/installed")")
    fi
    echo "round $round: uninstall ${uninstall_times[-1]} ms, rm -rf ${rm_times[-1]} ms"
done

median() {
    printf '%s\n' "$@" | sort -n |
        awk '{ v[NR] = $1 }
             END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
uninstall_median=$(median "${uninstall_times[@]}")
rm_median=$(median "${rm_times[@]}")
echo "median uninstall: $uninstall_median ms"
echo "median rm -rf:    $rm_median ms"
awk -v a="$uninstall_median" -v b="$rm_median" \
    'BEGIN { printf "ratio: %.2f (target <= 1.50)\n", (b > 0) ? a / b : 0 }'
