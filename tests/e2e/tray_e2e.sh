#!/usr/bin/env bash
# The real program on a real X server: Xvfb with trayer as the tray host (no StatusNotifierWatcher
# on the private bus, so the tray icon is used), dunst for notifications, xdotool for the clicks.
# Screenshots of every step land in the artefact folder.
#   tray_e2e.sh HOURLARK_BINARY ARTEFACT_FOLDER
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"

if [[ ${1:-} != --inside-bus ]]; then
    app=$(realpath "$1")
    out=$2
    rm -rf "$out"
    mkdir -p "$out"
    for tool in Xvfb xdpyinfo trayer dunst dunstctl xdotool import dbus-run-session; do
        command -v "$tool" >/dev/null || { echo "missing $tool (run scripts/install-deps)"; exit 1; }
    done
    run_inside_private_bus "$0" "$app" "$out"
fi

app=$2
out=$3
work=$4
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
history_file="$XDG_DATA_HOME/hourlark/TaskHistoryData.json"
autostart_file="$XDG_CONFIG_HOME/autostart/hourlark.desktop"
trap session_cleanup EXIT

step=0
shot() {
    step=$((step + 1))
    import -window root "$out/$(printf '%02d' "$step")-$1.png"
}

fail() {
    echo "FAIL: $*"
    shot failure || true
    echo "--- pointer and windows"
    xdotool getmouselocation || true
    xwininfo -root -tree | grep -iE 'hourlark|trayer|dunst' || true
    echo "--- hourlark output"
    cat "$out"/hourlark-*.log 2>/dev/null || true
    exit 1
}

expect() {
    local what=$1
    shift
    poll 30 "$@" || fail "$what"
}

# --- reading the desktop ------------------------------------------------------------------------

# The tray icon is an XEmbed window of ours named after the status title.
tray_window() {
    xdotool search --name '^[0-9]+:[0-9][0-9]' | head -n1
}

status_title() {
    local name
    name=$(xdotool getwindowname "$(tray_window)")
    echo "${name% — Hourlark}"
}

title_matches() {
    [[ $(status_title) =~ $1 ]]
}

# The badge's dark fill while the countdown runs; stopped, it is a lighter grey.
icon_shows_running() {
    (($(import -window "$(tray_window)" -depth 8 txt:- 2>/dev/null | grep -ci '#263238') > 50))
}

# Our visible windows other than the tray icon: the popover (350 x 300 or 400 x 500) and the menu.
visible_windows() {
    local id
    for id in $(xdotool search --onlyvisible --class '^hourlark$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        if ((WIDTH > 60 && HEIGHT > 40)); then
            echo "$id $WIDTH $HEIGHT"
        fi
    done
}

popover_window() {
    visible_windows | awk '($2 == 350 && $3 == 300) || ($2 == 400 && $3 == 500) { print $1; exit }'
}

popover_size() {
    visible_windows | awk '($2 == 350 && $3 == 300) || ($2 == 400 && $3 == 500) { print $2 "x" $3; exit }'
}

popover_shown() { [[ -n $(popover_window) ]]; }
popover_hidden() { [[ -z $(popover_window) ]]; }
popover_has_size() { [[ $(popover_size) == "$1" ]]; }

menu_window() {
    visible_windows | awk '!(($2 == 350 && $3 == 300) || ($2 == 400 && $3 == 500)) { print $1; exit }'
}
menu_shown() { [[ -n $(menu_window) ]]; }
menu_hidden() { [[ -z $(menu_window) ]]; }

focused_on_popover() { [[ $(xdotool getwindowfocus) == "$(popover_window)" ]]; }

records() {
    [[ -f $history_file ]] || { echo 0; return; }
    grep -o '"taskName"' "$history_file" | wc -l
}
records_are() { [[ $(records) == "$1" ]]; }

notification_shown() { [[ $(dunstctl count displayed) -ge 1 ]]; }

# --- acting on it -------------------------------------------------------------------------------

# --sync waits for the pointer to move, so it starts from elsewhere: a pointer already in place
# would wait for a motion that never comes.
click_at_window() {
    xdotool mousemove 0 700 mousemove --sync --window "$1" "$2" "$3" click "$4"
}

click_tray() {
    click_at_window "$(tray_window)" 8 12 "$1"
}

# On Xvfb without a window manager a right click that follows the closing of the menu within a
# moment is sometimes not delivered to the icon at all; a person's second click is never that quick.
open_menu() {
    local attempt
    for attempt in 1 2 3; do
        click_tray 3
        if poll 5 menu_shown; then
            return 0
        fi
        echo "menu not shown after right click $attempt"
    done
    return 1
}

# The panel is driven from the keyboard, as a person may: its focus order is the order on screen
# (name, minutes, Start/Stop, Reset, Complete, View History), and the focus stays where it was when
# the panel closed. A disabled button is skipped.
press_keys() {
    expect "the panel takes the keyboard" focused_on_popover
    xdotool key --delay 50 "$@"
}

start_hourlark() {
    # A script's background job starts with SIGINT ignored, and Hourlark leaves an ignored signal
    # ignored, as nohup and shells expect; started as from a terminal, Ctrl+C is tested too.
    env --default-signal=INT,QUIT "$app" >"$out/hourlark-$1.log" 2>&1 &
    hourlark_pid=$!
    session_pids+=("$hourlark_pid")
    expect "the tray icon appears" tray_window_present
}
tray_window_present() { [[ -n $(tray_window) ]]; }
# Gone, or a zombie waiting for `wait`.
process_ended() {
    local state
    state=$(ps -o stat= -p "$1" | tr -d ' ')
    [[ -z $state || $state == Z* ]]
}

stop_hourlark() {
    kill "-$1" "$hourlark_pid"
    expect "SIG$1 ends the program" process_ended "$hourlark_pid"
    local status=0
    wait "$hourlark_pid" || status=$?
    [[ $status == 0 ]] || fail "SIG$1 ends the program cleanly (exit status $status)"
    [[ ! -e $XDG_RUNTIME_DIR/hourlark.socket ]] || fail "the instance socket is removed at exit"
}

# --- the run ------------------------------------------------------------------------------------

start_trayer "$work" || fail "trayer is up"
start_dunst "$work" || fail "dunst is up"

echo "Start: the status title reads 30:00"
start_hourlark 1
expect "title 30:00 at launch" title_matches '^30:00$'
shot started

echo "Left click on the tray icon opens the panel"
click_tray 1
expect "the panel appears" popover_shown
expect "the panel takes the keyboard" focused_on_popover
shot panel

echo "Name a task, set 1 minute, Start: the panel closes and the countdown runs"
xdotool type --delay 30 "E2E task"
press_keys Tab ctrl+a
xdotool type --delay 30 "1"
press_keys Tab space
expect "Start closes the panel" popover_hidden
# The icon's window is renamed with each minute the icon draws, not every second.
expect "the title names the task" title_matches '^01:00 E2E task$'
expect "the icon shows the countdown running" icon_shows_running
# A click right as the panel closes is not taken for a new one, and what follows reads the
# seconds: let the first tick pass.
sleep 1.5
shot countdown

echo "The command line reads the countdown; status --follow changes once a second"
[[ $("$app" status) =~ ^00:[0-5][0-9]\ E2E\ task$ ]] || fail "hourlark status: $("$app" status)"
follow_log="$out/status-follow.log"
"$app" status --follow >"$follow_log" 2>&1 &
follow_pid=$!
session_pids+=("$follow_pid")
sleep 4.5
kill "$follow_pid"
wait "$follow_pid" 2>/dev/null || true
mapfile -t followed <"$follow_log"
# The current title at once, then one line per tick.
((${#followed[@]} >= 4 && ${#followed[@]} <= 6)) ||
    fail "status --follow printed ${#followed[@]} lines in 4.5 s: ${followed[*]}"
previous=""
for line in "${followed[@]}"; do
    [[ $line =~ ^00:([0-5][0-9])\ E2E\ task$ ]] || fail "status --follow printed '$line'"
    seconds=$((10#${BASH_REMATCH[1]}))
    if [[ -n $previous ]] && ((previous - seconds != 1)); then
        fail "status --follow went from 00:$previous to '$line', not one second down"
    fi
    previous=$seconds
done

echo "Reopen and Complete: a notification and a stored record"
click_tray 1
expect "the panel reopens" popover_shown
# From Stop, which started it: Reset, then Complete.
press_keys Tab Tab space
expect "the notification is shown" notification_shown
shot completed
dunstctl close-all
# Asked with dbus-send: `dunstctl history` needs systemd's busctl, which a minimal system lacks.
history=$(dbus-send --session --print-reply --dest=org.freedesktop.Notifications \
    /org/freedesktop/Notifications org.dunstproject.cmd0.NotificationListHistory)
grep -q '"Task Completed!"' <<<"$history" || fail "dunst got \"Task Completed!\": $history"
grep -q '"E2E task has been marked as complete."' <<<"$history" || fail "notification body: $history"
expect "one record on disk" records_are 1
grep -q '"taskName":"E2E task"' "$history_file" || fail "the record names the task"
expect "the title is back at the length" title_matches '^01:00 E2E task$'

echo "Stopped, status --follow prints the title once and then stays quiet"
"$app" status --follow --format waybar >"$follow_log" 2>&1 &
follow_pid=$!
session_pids+=("$follow_pid")
sleep 2.5
kill "$follow_pid"
wait "$follow_pid" 2>/dev/null || true
[[ $(wc -l <"$follow_log") == 1 ]] || fail "stopped, status --follow printed: $(cat "$follow_log")"
grep -qx '{"class":"stopped","percentage":0,"text":"01:00 E2E task","tooltip":"E2E task\\nStopped: 01:00 left of 01:00"}' \
    "$follow_log" || fail "the waybar line: $(cat "$follow_log")"

echo "Right click: the menu; Launch at Login writes the autostart entry"
open_menu || fail "the menu appears"
shot menu
xdotool key Down Return
expect "the menu closes" menu_hidden
expect "the autostart entry is written" test -f "$autostart_file"
open_menu || fail "the menu appears again"
shot menu-launch-at-login-checked
xdotool key Down Return
expect "choosing it again removes the entry" test ! -f "$autostart_file"
expect "the panel is still open after the menu" popover_shown

echo "A second launch opens the first one's panel and exits"
click_tray 1
expect "the panel closes on a left click" popover_hidden
second_status=0
timeout 30 "$app" >"$out/hourlark-second.log" 2>&1 || second_status=$?
[[ $second_status == 0 ]] || fail "the second launch exits 0 (status $second_status)"
kill -0 "$hourlark_pid" || fail "the first instance keeps running"
expect "the first instance opens its panel" popover_shown
shot second-launch

echo "SIGTERM ends it cleanly; a restart keeps the history"
stop_hourlark TERM
start_hourlark 2
expect "title 30:00 after the restart" title_matches '^30:00$'
click_tray 1
expect "the panel appears after the restart" popover_shown
# A fresh panel starts in the name field: past the minutes to Start.
press_keys Tab Tab space
expect "Start closes the panel" popover_hidden
expect "an untitled countdown runs" icon_shows_running
expect "its title is the length" title_matches '^30:00$'
# A click right as the panel closes is not taken for a new one: let the first tick pass.
sleep 1.5
click_tray 1
expect "the panel reopens" popover_shown
press_keys Tab Tab space
expect "the first record survived the restart" records_are 2
grep -q '"taskName":"E2E task"' "$history_file" || fail "the first record is still there"
grep -q '"taskName":"Untitled Task"' "$history_file" || fail "the second record is there"
dunstctl close-all

# Complete is disabled once done, which hands the focus on to View History.
press_keys space
expect "the history screen grows the panel" popover_has_size 400x500
sleep 0.5 # let the screen's fade-in finish before the picture
shot history

stop_hourlark INT
echo "All steps passed; screenshots in $out"
