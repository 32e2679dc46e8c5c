#!/usr/bin/env bash
# Builds the benchmark's own copies of both programs (the same libraries under
# a main that reports the first paint, in <build>/bench) and the bare Qt windows
# in an existing build folder, then times each program's start-up against bare
# windows of the same shape. Options after the build folder go to bench_startup,
# for example --runs 50 or --first-start (see bench_startup --help).
set -euo pipefail

if [[ $# -lt 1 || $1 == -* ]]; then
    echo "usage: $0 <build folder> [--runs N] [--first-start]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
shift

# Without the desktop's opener on PATH tarnel's start-up stops at an error
# message and its window never shows.
command -v xdg-open >/dev/null || echo "warning: xdg-open is not on PATH (package xdg-utils): tarnel will time out" >&2

cmake --build "$build" --target bench_tarnel bench_kelvane bench_startup \
    bench_bare_tabs bench_bare_text_dialog bench_bare_dialog bench_plain_tarnel

# Beside each ratio bench_startup prints what it ran on: the fonts installed
# (the lines of fc-list, which every start's font configuration reads) and
# the Qt version. Where valgrind is on PATH it also counts each program's
# instructions to the first paint under callgrind (--no-instructions skips it).
#
# The goals are also in bench/CMakeLists.txt, one per yardstick in order:
# tarnel against the bare tab window (Qt's floor) and against the plain window
# of the same first page (our own code's cost); kelvane against the dialog
# with one text; its second, the empty dialog, is a figure without a goal.
status=0
"$build/bench/bench_startup" "$@" --goal 1.2 --goal 1.03 \
    tarnel "$build/bench/tarnel" bench_bare_tabs "$build/bench/bench_bare_tabs" \
    bench_plain_tarnel "$build/bench/bench_plain_tarnel" || status=1
echo
"$build/bench/bench_startup" "$@" --goal 1.1 \
    kelvane "$build/bench/kelvane" bench_bare_text_dialog "$build/bench/bench_bare_text_dialog" \
    bench_bare_dialog "$build/bench/bench_bare_dialog" || status=1
exit $status
