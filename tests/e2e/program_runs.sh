#!/usr/bin/env bash
# The SDL game as a program, on SDL's dummy video and audio drivers, from a
# scratch HOME: what a careless or hostile command line, settings file or
# recording target gets (one line, the right status, at once), seeds that
# differ from run to run, a recording that is written as the game goes and
# survives a terminate, and a demo that plays a recording as it was recorded.
# Usage: program_runs.sh GAME REPLAY_TOOL SOURCE_DIR
set -u
game=$(realpath "$1")
replay=$(realpath "$2")
source=$(realpath "$3")
work=$(mktemp -d)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap finish EXIT
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
settings=$XDG_DATA_HOME/Quorvaner/quorvaner/settings.ini
mkdir -p "$(dirname "$settings")"
cd "$work" || exit 1
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# run NAME STATUS ARGS...: the game ends within 5 s with STATUS and at most
# one line on standard error; the output is kept in $work/NAME.out and .err.
run() {
    local name=$1 want=$2
    shift 2
    timeout 5 "$game" "$@" >"$work/$name.out" 2>"$work/$name.err"
    local status=$?
    [ "$status" -eq 124 ] && { fail "$name: still running after 5 s"; return; }
    [ "$status" -eq "$want" ] || fail "$name: status $status, not $want ($(head -c 300 "$work/$name.err"))"
    [ "$(wc -l <"$work/$name.err")" -le 1 ] || fail "$name: more than one line on standard error"
}
says() { grep -q -- "$2" "$work/$1.err" || fail "$1: standard error does not say \"$2\": $(cat "$work/$1.err")"; }

# Options: one line and a hint, not the usage.
run bogus 2 --bogus
says bogus 'unknown argument "--bogus" (try --help)'
run bad-scale 2 --scale 99
says bad-scale '--scale wants a whole number'

# A settings file that is no file: --version answers at once, the thing is left as it is.
for kind in fifo zero folder; do
    rm -rf "$settings"
    case $kind in
        fifo) mkfifo "$settings" ;;
        zero) ln -s /dev/zero "$settings" ;;
        folder) mkdir "$settings" ;;
    esac
    run "version-$kind" 0 --version
    [ "$(cat "$work/version-$kind.out")" = "$("$game" --version 2>/dev/null </dev/null)" ] || fail "$kind: --version"
    case $kind in
        fifo) [ -p "$settings" ] || fail "the FIFO was replaced" ;;
        zero) [ -L "$settings" ] || fail "the link was replaced" ;;
        folder) [ -d "$settings" ] || fail "the folder was replaced" ;;
    esac
done
rm -rf "$settings"
ln -s "$work/nowhere/settings.ini" "$settings"
run dangling 0 --version
[ ! -e "$work/nowhere" ] || fail "a dangling link made the game create its target"
rm -f "$settings"

# Files the game cannot use are refused before anything plays.
mkfifo "$work/fifo.txt"
: >"$work/empty.txt"
printf '# only a comment\n' >"$work/comment.txt"
echo x >"$work/plain"
run demo-fifo 2 --playdemo "$work/fifo.txt"
says demo-fifo 'is a device or a pipe'
run demo-empty 2 --playdemo "$work/empty.txt"
run demo-comment 2 --playdemo "$work/comment.txt"
says demo-comment 'holds no mouse entries'
for target in /dev/full "$work/missing/r.txt" "$work" "$work/fifo.txt"; do
    run record 2 --record "$target"
    says record 'the recording'
done
for data in "$work/plain" "$work/absent" "$(printf '%04000d' 0)" "$(printf 'a\tb')"; do
    run data 2 --data "$data" --playdemo "$source/tests/replays/title-credits.txt"
    says data '^quorvaner: --data "'
done

# A recording's own "# args:" lines decide the seed and the end: a demo of a
# closed session plays to where it was closed and the program ends with 0.
# From the checkout's root, the build tree's program finds data/ by itself.
printf '# args: --seed 3\n1 160 100 0 0\n60 160 100 1 0\n64 150 90 0 0\n# args: --max-pumps 200\n' >"$work/demo.txt"
(cd "$source" && timeout 20 "$game" --playdemo "$work/demo.txt") >/dev/null 2>"$work/demo.err" ||
    fail "a closed session's demo from the checkout's root did not end well: $(cat "$work/demo.err")"

# Seeds differ from run to run; a terminate ends the game as a close does, and
# the recording written so far replays on its own.
seeds=()
for n in 1 2 3 4 5; do
    "$game" --record "$work/r$n.txt" 2>"$work/r$n.err" &
    pid=$!
    pids+=("$pid")
    for _ in $(seq 50); do
        grep -q '^# args: --seed' "$work/r$n.txt" 2>/dev/null && break
        sleep 0.1
    done
    sleep 0.3
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "run $n: a terminate ended the game with status $status"
    seeds+=("$(sed -n '1s/^# args: --seed \([0-9]*\)$/\1/p' "$work/r$n.txt")")
    tail -n 1 "$work/r$n.txt" | grep -q '^# args: --max-pumps [0-9]' || fail "run $n: no end in the recording"
done
different=$(printf '%s\n' "${seeds[@]}" | sort -u | grep -c .)
[ "$different" -ge 4 ] || fail "five runs gave only $different different seeds: ${seeds[*]}"
(cd / && "$replay" --data "$source/data" --input "$work/r1.txt") >"$work/replayed.txt" 2>"$work/replayed.err" ||
    fail "the recording does not replay: $(cat "$work/replayed.err")"
tail -n 1 "$work/replayed.txt" | grep -q "^limit $(sed -n 's/^# args: --max-pumps //p' "$work/r1.txt") " ||
    fail "the replay does not end where the recording ended: $(tail -n 1 "$work/replayed.txt")"

[ -f "$settings" ] || fail "no settings file was written for the player"
[ $failures -eq 0 ] && echo "every run ended as it should"
exit $((failures > 0))
