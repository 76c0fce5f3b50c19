#!/usr/bin/env bash
# The best scores of the SDL game on SDL's dummy drivers, from a scratch HOME:
# three demos that end in a score box fill the table best first with the
# scores the replay tool's --summary gives for them (a score claimed can be
# checked), --scores prints it, a damaged table is one line, kept beside a
# fresh one, and a replay never touches the table.
# Usage: best_scores.sh GAME REPLAY_TOOL SOURCE_DIR
set -u
game=$(realpath "$1")
replay=$(realpath "$2")
source=$(realpath "$3")
work=$(mktemp -d)
pid=
finish() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
folder=$XDG_DATA_HOME/Quorvaner/quorvaner
scores=$folder/scores.txt
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
cd "$source/data" || exit 1

entries() { [ -f "$scores" ] && grep -c '^[0-9]' "$scores" || echo 0; }

expected=()
n=0
for demo in tests/replays/idle-until-lost.txt tests/e2e/lost-after-two.txt tests/e2e/lost-after-one.txt; do
    n=$((n + 1))
    args=$(head -n 1 "$source/$demo" | sed 's/^# args://')
    # shellcheck disable=SC2086
    summary=$("$replay" $args --input "$source/$demo" --summary | tail -n 1)
    score=$(echo "$summary" | awk '{ print $3 }')
    seed=$(echo "$args" | awk '{ print $2 }')
    expected+=("$score $seed")
    # Sixteen times faster; the score box then waits for a player who never
    # comes, and a terminate ends the program as a closed window does.
    "$game" --playdemo "$source/$demo" --demo-speed 16 >"$work/demo$n.out" 2>"$work/demo$n.err" &
    pid=$!
    for _ in $(seq 600); do
        [ "$(entries)" -ge "$n" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    [ "$(entries)" -ge "$n" ] || fail "$demo: no score in the table after 60 s ($(cat "$work/demo$n.err"))"
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    pid=
    [ "$status" -eq 0 ] || fail "$demo: status $status after a terminate"
    [ -s "$work/demo$n.err" ] && fail "$demo: said $(cat "$work/demo$n.err")"
done

# Best first, a tie to the game that came first; each with its seed and today.
want=$(printf '%s\n' "${expected[@]}" | sort -s -k1,1nr)
got=$(awk '/^[0-9]/ { print $1, $5 }' "$scores")
[ "$got" = "$want" ] || fail "the table is $(echo "$got" | tr '\n' ,), not $(echo "$want" | tr '\n' ,)"
[ "$(awk '/^[0-9]/ { print $4 }' "$scores" | sort -u)" = "$(date +%F)" ] || fail "the dates are not today's"
head -n 1 "$scores" | grep -qx 'quorvaner-scores 1' || fail "no version line"

"$game" --scores >"$work/scores.out" 2>&1 || fail "--scores ended with an error"
grep -q "^Best scores ($scores):" "$work/scores.out" || fail "--scores does not say where the table is"
[ "$(grep -cE '^ *[0-9]+ +[0-9]+ +[0-9]+ +[0-9]+ +[0-9]{4}-[0-9]{2}-[0-9]{2} +[0-9]+$' "$work/scores.out")" -eq 3 ] ||
    fail "--scores does not print three games: $(cat "$work/scores.out")"

# A replay of the same games leaves the table alone.
before=$(cat "$scores")
"$replay" --seed 7 --input "$source/tests/replays/idle-until-lost.txt" --summary >/dev/null
[ "$(cat "$scores")" = "$before" ] || fail "a replay changed the table"

# Damaged: one line, the file kept beside a fresh table.
printf 'quorvaner-scores 1\n100 1 1 2025-01-01\n' >"$scores"
"$game" --scores >"$work/damaged.out" 2>&1 || fail "--scores ended with an error on a damaged table"
[ "$(grep -c 'damaged' "$work/damaged.out")" -eq 1 ] || fail "not one line on the damaged table: $(cat "$work/damaged.out")"
grep -q 'No game has made the table yet' "$work/damaged.out" || fail "no fresh table after a damaged one"
cmp -s <(printf 'quorvaner-scores 1\n100 1 1 2025-01-01\n') "$scores.damaged-1" || fail "the damaged table was not kept"
"$game" --scores >"$work/again.out" 2>&1
grep -q damaged "$work/again.out" && fail "the damaged table was told twice"

[ $failures -eq 0 ] && echo "1 passed, 0 failed"
exit $((failures > 0))
