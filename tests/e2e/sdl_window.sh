#!/usr/bin/env bash
# The game in a real X window on a virtual screen, driven like a player would:
# the title shows, a held left button starts play, Esc pauses with a dimmed
# overlay and frees the pointer, F11 covers the screen, Alt+F4 ends the program
# with status 0. Then, started again: a right click on the title shows the
# credits box inside the window, and closing the window with the box up ends
# the program with status 0 at once. Usage: sdl_window.sh GAME DATA_DIR [SHOT_DIR]
# Exits 77 (skipped) when Xvfb, xdotool or ImageMagick is missing.
set -u

game=$(realpath "$1")
data=$2
shots=${3:-$(mktemp -d)}
replay=${4:-}
mkdir -p "$shots"
# The player's settings stay the player's: the game gets a home of its own.
home=$(mktemp -d)
export HOME=$home XDG_DATA_HOME=$home/.local/share

for tool in Xvfb xdotool import convert compare; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed: no real-window test"
        exit 77
    fi
done
# The file viewer's stand-in for convert cannot measure pictures.
if ! convert -version 2>/dev/null | grep -q ImageMagick; then
    echo "ImageMagick's convert is not installed: no real-window test"
    exit 77
fi

xvfb_pid=
wm_pid=
game_pid=
finish() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$home"
}
trap finish EXIT

fail() {
    echo "FAIL: $*"
    echo "screenshots in $shots"
    exit 1
}

# A display number nobody uses.
screen_w=1280
screen_h=1024
for number in $(seq 71 99); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 "${screen_w}x${screen_h}x24" -noreset -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    if xdotool getdisplaygeometry >/dev/null 2>&1; then break; fi
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=
done
[ -n "$xvfb_pid" ] || fail "no virtual screen could be started"

# Desktop fullscreen is the window manager's to grant; a bare X server has none.
for manager in jwm openbox; do
    if command -v "$manager" >/dev/null 2>&1; then
        HOME=$(mktemp -d) "$manager" >/dev/null 2>&1 &
        wm_pid=$!
        sleep 0.5
        break
    fi
done
[ -n "$wm_pid" ] || echo "no window manager (jwm or openbox): the fullscreen step is not checked"

# The game's window alone: nothing of the desktop (a clock, a task bar) can change it.
shot() { import -window "$window" "$shots/$1.png" 2>/dev/null || fail "no screenshot $1"; }
# How many pixels of the screenshot have exactly one colour.
count() { convert "$shots/$2.png" -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:int(mean*w*h)]' info:; }
differing() { compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1 | cut -d' ' -f1; }

# Waits up to $1 tenths of a second for the game to end, then checks its status.
ended_well() {
    for _ in $(seq "$1"); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && return 1
    wait "$game_pid"
    status=$?
    game_pid=
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
}

start_game() {
    SDL_AUDIODRIVER=dummy "$game" "$@" &
    game_pid=$!
    window=$(timeout 20 xdotool search --sync --name Quorvaner | head -n 1)
    [ -n "$window" ] || fail "no game window appeared"
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    eval "$(xdotool getwindowgeometry --shell "$window")"
    echo "window $WIDTH x $HEIGHT at $X,$Y"
}

cd "$data" || fail "no data folder $data"
start_game

shot opened
# The title's zoom takes about 40 frames; then it waits for the left button.
sleep 2
shot title
[ "$(differing opened title)" -gt 10000 ] || fail "no title picture in the window"

xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
xdotool mousedown 1
sleep 0.15
xdotool mouseup 1
sleep 1.5
shot playing
[ "$(differing title playing)" -gt 10000 ] || fail "play did not start: the picture is still the title"
# The HUD: the magenta laser bar and the blue shield bar.
[ "$(count 'rgb(255,0,255)' playing)" -gt 1000 ] && [ "$(count 'rgb(0,0,255)' playing)" -gt 1000 ] ||
    fail "no HUD bars in the picture of play"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on the first click"

xdotool key Escape
sleep 0.5
shot paused
sleep 0.5
shot paused-later
# Dimmed: the bars keep their place but lose their full colours.
[ "$(count 'rgb(255,0,255)' paused)" -eq 0 ] && [ "$(count 'rgb(0,0,255)' paused)" -eq 0 ] ||
    fail "the paused picture is not dimmed"
[ "$(differing playing paused)" -gt 10000 ] || fail "nothing was drawn over the paused picture"
[ "$(count 'rgb(255,210,104)' paused)" -gt 1000 ] || fail "no menu over the picture"
[ "$(differing paused paused-later)" -eq 0 ] || fail "frames went on while paused"

# Free pointer: it can leave the window.
xdotool mousemove --sync 1 1
eval "$(xdotool getmouselocation --shell)"
[ "$X" -eq 1 ] && [ "$Y" -eq 1 ] || fail "the pointer is held in the window while paused (at $X,$Y)"

# The menu's Options: the scale from fit to 1 and 2; the window is 640 x 400 at once.
for key in Down Return Right Right; do
    xdotool key "$key"
    sleep 0.2
done
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
shot scale-2
[ "$WIDTH" -eq 640 ] && [ "$HEIGHT" -eq 400 ] || fail "scale 2 in the menu left the window at $WIDTH x $HEIGHT"
grep -q '^scale = 2$' "$XDG_DATA_HOME/Quorvaner/quorvaner/settings.ini" || fail "scale 2 was not saved"
xdotool key Escape
sleep 0.2

xdotool key F11
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
shot fullscreen
grep -q '^fullscreen = 1$' "$XDG_DATA_HOME/Quorvaner/quorvaner/settings.ini" || fail "F11 was not saved"
if [ -n "$wm_pid" ]; then
    [ "$WIDTH" -eq "$screen_w" ] && [ "$HEIGHT" -eq "$screen_h" ] || fail "F11 left the window at $WIDTH x $HEIGHT"
fi

xdotool key Escape
sleep 0.5
shot resumed
xdotool key alt+F4
ended_well 50 || fail "Alt+F4 did not end the game"

# The credits box, drawn inside the window over the dimmed title; the window
# opens as the player left it: fullscreen (F11 was saved).
start_game
if [ -n "$wm_pid" ]; then
    [ "$WIDTH" -eq "$screen_w" ] && [ "$HEIGHT" -eq "$screen_h" ] || fail "F11 was not remembered: $WIDTH x $HEIGHT"
fi
sleep 2
shot title-again
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
# Held across a few frames, as the title looks at the button once a frame.
xdotool mousedown 3
sleep 0.15
xdotool mouseup 3
sleep 0.7
shot credits
# The caption bar's colour, and the words in white and light grey.
[ "$(count 'rgb(44,58,104)' credits)" -gt 5000 ] || fail "no credits box in the window"
[ "$(count 'rgb(225,228,236)' credits)" -gt 1000 ] || fail "no credits text in the box"
sleep 0.5
shot credits-later
[ "$(differing credits credits-later)" -eq 0 ] || fail "the box did not hold"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended with the credits up"

# Closed as the window manager closes it; Alt+F4 where there is no wmctrl.
closed_at=$(date +%s%N)
if command -v wmctrl >/dev/null 2>&1 && [ -n "$wm_pid" ]; then
    wmctrl -i -c "$window"
else
    xdotool key alt+F4
fi
ended_well 20 || fail "closing the window with the credits up did not end the game within 2 s"
echo "closed with the credits up: ended after $((($(date +%s%N) - closed_at) / 1000000)) ms"

# An instant click (press and release within a millisecond) starts the game;
# a game killed outright leaves a recording of all but its last moments.
if [ -n "$replay" ]; then
    recording=$shots/killed.txt
    rm -f "$recording"
    start_game --record "$recording"
    sleep 2
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
    sleep 1
    shot instant-click
    [ "$(count 'rgb(255,0,255)' instant-click)" -gt 1000 ] || fail "an instant click did not start the game"
    for at in 1 2 3 4; do
        xdotool mousemove --sync $((X + WIDTH * at / 5)) $((Y + HEIGHT * at / 5))
        sleep 0.5
    done
    sleep 1
    kill -KILL "$game_pid"
    wait "$game_pid" 2>/dev/null
    game_pid=
    echo "killed while recording; its last entry: $(grep -v '^#' "$recording" | tail -n 1)"
    # Four moves after the click, the last a second before the kill.
    moves=$(sed -n '/ 1 0$/,$p' "$recording" | grep -v '^#' | cut -d' ' -f2,3 | uniq | wc -l)
    [ "$moves" -ge 5 ] || fail "the recording holds $((moves - 1)) of the 4 moves made after the click"
    "$replay" --data "$data" --input "$recording" >"$shots/killed.trace" 2>"$shots/killed.err" ||
        fail "the killed game's recording does not replay: $(cat "$shots/killed.err")"
    grep -q '^play THUNDER2 loop$' "$shots/killed.trace" || fail "replayed, the instant click starts no game"
fi
echo "the real window behaved: screenshots in $shots"
