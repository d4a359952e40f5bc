#!/usr/bin/env bash
# The uninstall's deletion of an installed tree against `rm -rf` of a copy of the same tree:
# 10,000 files of 1 KiB in 520 folders, ROUNDS rounds each (default 5, the order alternating),
# whole-process wall-clock times. Prints both medians and their ratio (target: at most 1.5).
# Then, for each of LEVELS (default 19000 and 40000), a chain of that many nested folders
# with a file in each: the uninstall's time and peak memory against rm -rf's time.
# Usage: bench/uninstall_bench.sh [ROUNDS [LEVELS...]]
# Everything happens in one temporary folder (mktemp -d), removed at the end.
set -euo pipefail

rounds=${1:-5}
deep_levels=(19000 40000)
if [ $# -gt 1 ]; then deep_levels=("${@:2}"); fi
source_root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
trap 'exit 1' INT TERM

# The driver runs the uninstall's own sequence on one folder, built optimised from the
# sources (the project builds for debugging by default).
# "driver FOLDER" uninstalls FOLDER and prints its peak memory in KiB; "driver FOLDER LEVELS"
# makes a chain of LEVELS nested folders there instead, through descriptors (deeper than a
# path can name).
cat > "$work/driver.cpp" <<'EOF'
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "engine/folder_tree.h"

static int makeChain(const char* root, long levels) {
    if (mkdir(root, 0755) != 0) return 1;
    int folder = open(root, O_RDONLY | O_DIRECTORY);
    for (long level = 0; level < levels && folder >= 0; ++level) {
        close(openat(folder, "f", O_CREAT | O_WRONLY, 0644));
        if (mkdirat(folder, "d", 0755) != 0) return 1;
        const int next = openat(folder, "d", O_RDONLY | O_DIRECTORY);
        close(folder);
        folder = next;
    }
    return folder >= 0 ? close(folder) : 1;
}

int main(int argc, char** argv) {
    if (argc == 3) return makeChain(argv[1], std::atol(argv[2]));
    if (argc != 2) return 2;
    engine::FolderTree tree([] { return true; });
    tree.DeleteFolderTree(argv[1], "*.*", true);
    tree.addRemovedFolder(argv[1]);
    tree.removeCollectedFolders();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr, "%ld\n", usage.ru_maxrss);
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
    start=$(now); "$work/driver" "$1" 2> "$work/peak"; end=$(now)
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

for levels in "${deep_levels[@]}"; do
    "$work/driver" "$work/installed" "$levels"
    "$work/driver" "$work/copy" "$levels"
    sync
    uninstall_ms=$(time_driver "$work/installed")
    rm_ms=$(time_rm "$work/copy")
    echo "deep $levels levels: uninstall $uninstall_ms ms, peak $(( $(cat "$work/peak") / 1024 )) MiB;" \
         "rm -rf $rm_ms ms"
done
