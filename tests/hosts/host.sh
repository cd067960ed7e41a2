#!/usr/bin/env bash
# One desktop of the host matrix, run by run-matrix in a process group of its own:
#   host.sh HOST HOURLARK_BINARY OUTPUT_FOLDER
# Starts the host on its own Xvfb (sway: headless) and session bus, then Hourlark with empty data
# folders, finds the item on screen, reads its label, clicks it and writes what it saw as
# key=value lines to OUTPUT_FOLDER/result, screenshots beside it.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/desktop-session.sh
source "$here/../e2e/desktop-session.sh"

record() {
    printf '%s=%s\n' "$1" "$2" >>"$out/result"
}
value() { # KEY: what was recorded last
    grep "^$1=" "$out/result" | tail -n1 | cut -d= -f2-
}

# --- outside the bus: the display, the user, the bus -------------------------------------------

if [[ ${1:-} != --inside ]]; then
    host=$1
    app=$(realpath "$2")
    out=$3
    mkdir -p "$out"
    : >"$out/result"
    work=$(mktemp -d /tmp/hourlark-host.XXXXXX)
    # run-matrix removes it too when it has to end the run on a timeout.
    echo "$work" >"$out/work-folder"
    trap 'session_cleanup; rm -rf "$work"' EXIT
    trap 'exit 143' TERM
    # A fresh home for everything, the bus daemon and what it starts (dconf) included.
    export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
    export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C.UTF-8
    mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    if [[ $host == sway ]]; then
        # wlroots will not start as root; Hourlark runs as the same user, as in a real session.
        chown -R nobody:nogroup "$work" "$out"
        setpriv --reuid=nobody --regid=nogroup --clear-groups \
            dbus-run-session -- bash "$0" --inside "$host" "$app" "$out" "$work"
        exit $?
    fi
    if ! start_xvfb "$work"; then
        record notes "Xvfb does not start"
        exit 1
    fi
    if [[ $host == gnome-* ]]; then
        # GNOME Shell asks the system bus for logind, accounts and more: a private one answers.
        dbus-daemon --session --nofork --address="unix:path=$work/system_bus" >"$work/system-bus.log" 2>&1 &
        session_pids+=($!)
        poll 10 test -S "$work/system_bus"
        export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system_bus"
    fi
    dbus-run-session -- bash "$0" --inside "$host" "$app" "$out" "$work"
    exit $?
fi

host=$2
app=$3
out=$4
work=$5
trap session_cleanup EXIT

# Where Hourlark's own windows are: the Xvfb display, or the compositor's XWayland.
app_display=${DISPLAY:-}
# The Hourlark window the host shows instead of a tray item, for "none".
status_window=""

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

background() {
    local name=$1
    shift
    "$@" >"$out/$name.log" 2>&1 &
    session_pids+=($!)
}

# --- seeing and clicking -------------------------------------------------------------------------

shot() {
    if [[ $host == sway ]]; then
        grim "$1"
    else
        import -display "$DISPLAY" -window root "$1"
    fi
}

click() { # X Y BUTTON
    if [[ $host == sway ]]; then
        local clicks
        clicks=$(grep -c clicked "$out/wl-pointer.log")
        echo "click $1 $2 $3" >&7
        poll 5 test "$(grep -c clicked "$out/wl-pointer.log")" -gt "$clicks"
    else
        xdotool mousemove "$1" "$2" sleep 0.1 click "$3"
    fi
}

key_escape() {
    if [[ $host != sway ]]; then
        xdotool key Escape 2>/dev/null || true
    fi
    DISPLAY=$app_display xdotool key Escape 2>/dev/null || true
}

# "X Y W H" of the pixels that changed since BEFORE and have our badge's colours: its blue-grey
# fill, running or stopped (blue above red by 5%, blue between 12% and 55%), or its amber ring.
# The panel's greys and whites, the white label and bright blue highlights do not count. Fails
# when there are too few.
badge_box() { # BEFORE NOW
    local changed result
    changed=$(convert "$1" "$2" -compose difference -composite -colorspace gray -threshold 4% \
        -format '%@' info: 2>/dev/null)
    # Nothing changed reads as 0x0 (which -crop would take for the whole screen).
    [[ $changed =~ ^([1-9][0-9]*)x([1-9][0-9]*)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    local ox=${BASH_REMATCH[3]} oy=${BASH_REMATCH[4]}
    result=$(convert "$1" "$2" -crop "$changed" +repage -background white \
        \( -clone 0 -clone 1 -compose difference -composite -colorspace gray -threshold 4% \) \
        \( -clone 1 -separate \
        \( -clone 2 -clone 0 -compose minus_src -composite -threshold 5% \) \
        \( -clone 2 -threshold 12% \) \( -clone 2 -threshold 55% -negate \) \
        \( -clone 0 -threshold 80% \) \( -clone 1 -threshold 50% \) \( -clone 2 -threshold 35% -negate \) \
        -delete 0-2 \( -clone 0-2 -compose multiply -flatten \) \( -clone 3-5 -compose multiply -flatten \) \
        -delete 0-5 -compose lighten -composite \) \
        -delete 0,1 -compose multiply -composite -format '%[fx:round(mean*w*h)] %@' info: 2>/dev/null)
    local count=${result%% *} box=${result#* }
    ((count >= 12)) || return 1
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    # A badge is about square and panel-sized; anything else is the panel still laying out.
    local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
    ((w >= 8 && h >= 8 && w <= 64 && h <= 64 && w * 2 >= h && h * 2 >= w)) || return 1
    echo "$((ox + BASH_REMATCH[3])) $((oy + BASH_REMATCH[4])) $w $h"
}

# "X Y W H" of the item on screen, from the pixels (the status window from the X server).
item_box() {
    if [[ $host == none ]]; then
        status_window=$(DISPLAY=$app_display xdotool search --onlyvisible --name '^Hourlark Status$' 2>/dev/null | head -n1)
        [[ -n $status_window ]] || return 1
        shot "$work/now.png" 2>/dev/null
        window_box "$status_window"
        return
    fi
    shot "$work/now.png" 2>/dev/null || return 1
    badge_box "$work/before.png" "$work/now.png"
}

window_box() {
    # shellcheck disable=SC2034 # set by the eval with the rest
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(DISPLAY=$app_display xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || return 1
    echo "$X $Y $WIDTH $HEIGHT"
}

# "X Y W H" of the timer panel (350 x 300, or 400 x 500 with the history), if it is shown. Under a
# compositor its window is larger by the shadow it draws around itself: that margin is left out.
panel_box() {
    local id box x y w h
    for id in $(DISPLAY=$app_display xdotool search --onlyvisible --class '^hourlark$' 2>/dev/null); do
        [[ $(DISPLAY=$app_display xdotool getwindowname "$id" 2>/dev/null) == Hourlark ]] || continue
        box=$(window_box "$id") || continue
        read -r x y w h <<<"$box"
        for size in "350 300" "400 500"; do
            read -r cw ch <<<"$size"
            local m=$(((w - cw) / 2))
            if ((w - cw == h - ch && m >= 0 && m <= 40 && (w - cw) % 2 == 0)); then
                echo "$((x + m)) $((y + m)) $cw $ch"
                return 0
            fi
        done
    done
    return 1
}
panel_shown() { panel_box >/dev/null; }
panel_gone() { ! panel_box >/dev/null; }

# Our own menu (X11 tray, status window, ContextMenu): any other visible window of ours.
own_menu_shown() {
    local id box
    for id in $(DISPLAY=$app_display xdotool search --onlyvisible --class '^hourlark$' 2>/dev/null); do
        [[ $id == "$status_window" ]] && continue
        box=$(window_box "$id") || continue
        read -r _ _ w h <<<"$box"
        if ((w > 60 && h > 40)) && [[ $(DISPLAY=$app_display xdotool getwindowname "$id" 2>/dev/null) != Hourlark ]]; then
            return 0
        fi
    done
    return 1
}

# Pixels changed between two screenshots outside the item: "W H" of their box, or nothing.
changed_area() { # BEFORE AFTER
    convert "$1" "$2" -compose difference -composite -colorspace gray -threshold 4% \
        -format '%[fx:round(mean*w*h)] %@' info: 2>/dev/null
}

# The text beside the badge, as the host draws it (white or dark on any panel), read by OCR.
read_label() { # X Y W H of the item
    local x=$1 y=$2 w=$3 h=$4 crop text
    crop="$work/label.png"
    if [[ $host == none ]]; then
        convert "$work/now.png" -crop "${w}x${h}+${x}+${y}" +repage "$crop"
    else
        # From just past the badge to 160 pixels right, the panel's height around it.
        convert "$work/now.png" -crop "160x$((h + 12))+$((x + w + 1))+$((y > 6 ? y - 6 : 0))" +repage "$crop"
    fi
    # Light text on a dark panel becomes dark on light, which is what the OCR reads best.
    if (($(convert "$crop" -colorspace gray -format '%[fx:mean < 0.5]' info:))); then
        convert "$crop" -negate "$crop"
    fi
    convert "$crop" -colorspace gray -resize 400% -threshold 55% "$crop"
    text=$(tesseract "$crop" - --psm 7 2>/dev/null | head -n1)
    # The countdown is named Write: a time without it is some other applet's clock.
    if [[ $text =~ ([0-9]{1,3}[:.][0-9]{2} ?Write) ]]; then
        echo "${BASH_REMATCH[1]/./:}"
    fi
}

# --- the hosts -------------------------------------------------------------------------------------

wait_for_watcher() {
    poll "$1" watcher_present
}
watcher_present() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher | grep -q true
}

registered_items() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems 2>/dev/null
}

# The display number of the XWayland a compositor started (its command line says ":N").
xwayland_of() {
    local args
    args=$(ps -o args= --ppid "$1" | grep -m1 -E '^(/[^ ]*/)?Xwayland ') || return 1
    [[ $args =~ (:[0-9]+) ]] || return 1
    echo "${BASH_REMATCH[1]}"
}

start_gnome() {
    # Debian names the AppIndicator extension ubuntu-appindicators@ubuntu.com, upstream differently.
    local extension
    extension=$(basename "$(compgen -G '/usr/share/gnome-shell/extensions/*appindicator*' | head -n1)")
    gsettings set org.gnome.shell enabled-extensions "['$extension']"
    gsettings set org.gnome.shell welcome-dialog-last-shown-version '999'
    gsettings set org.gnome.desktop.interface enable-animations false
    export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_DESKTOP=gnome
    if [[ $host == gnome-x11 ]]; then
        export XDG_SESSION_TYPE=x11
        background gnome-shell gnome-shell --x11 --replace
    else
        export XDG_SESSION_TYPE=wayland MUTTER_DEBUG_DUMMY_MODE_SPECS=1280x800
        background gnome-shell gnome-shell --nested --wayland
        local shell=${session_pids[-1]}
        poll 30 xwayland_of "$shell" || return 1
        app_display=$(xwayland_of "$shell")
        # Mutter's XWayland asks for the cookie it gives its own children (Xvfb asks for none).
        poll 10 compgen -G "$XDG_RUNTIME_DIR/.mutter-Xwaylandauth.*" || return 1
        XAUTHORITY=$(compgen -G "$XDG_RUNTIME_DIR/.mutter-Xwaylandauth.*" | head -n1)
        export XAUTHORITY
        export WAYLAND_DISPLAY=wayland-0
    fi
    wait_for_watcher 60 || return 1
    # It starts in the overview, as after a login; the Super key leaves it for the desktop.
    sleep 3
    xdotool key super 2>/dev/null || true
    sleep 2
}

start_kde() {
    export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 XDG_SESSION_TYPE=x11
    background openbox openbox
    # The StatusNotifierWatcher is a kded module in Plasma 5.
    background kded5 kded5
    background plasmashell plasmashell
    wait_for_watcher 60 || return 1
    poll 60 xdotool search --onlyvisible --class '^plasmashell$' || return 1
}

start_sway() {
    export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman XDG_SESSION_TYPE=wayland
    unset DISPLAY
    mkdir -p "$XDG_CONFIG_HOME/sway" "$XDG_CONFIG_HOME/waybar"
    cat >"$XDG_CONFIG_HOME/sway/config" <<'EOF'
output HEADLESS-1 resolution 1280x800 position 0 0 bg #405060 solid_color
xwayland force
bar swaybar_command waybar
EOF
    cat >"$XDG_CONFIG_HOME/waybar/config" <<'EOF'
{ "layer": "top", "position": "top", "height": 30,
  "modules-left": ["sway/workspaces"], "modules-right": ["tray", "clock"],
  "tray": { "icon-size": 22, "spacing": 6 }, "clock": { "format": "{:%H:%M}" } }
EOF
    background sway sway
    poll 30 compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*" || return 1
    export WAYLAND_DISPLAY=wayland-1 SWAYSOCK
    SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*" | head -n1)
    [[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]] || WAYLAND_DISPLAY=wayland-0
    # Headless sway has no input device: a virtual pointer of our own gives the seat one, so the
    # clicks reach waybar as a person's would.
    mkfifo "$work/pointer"
    exec 7<>"$work/pointer" # read-write: opening it does not wait for the other end
    python3 "$here/wl-pointer.py" 1280 800 <"$work/pointer" >"$out/wl-pointer.log" 2>&1 &
    session_pids+=($!)
    poll 10 grep -q ready "$out/wl-pointer.log" || return 1
    # Its XWayland's display, as sway hands it to what it starts.
    poll 30 swaymsg -q exec "echo \$DISPLAY >'$work/xwayland'" || return 1
    poll 30 test -s "$work/xwayland" || return 1
    app_display=$(cat "$work/xwayland")
    wait_for_watcher 30 || return 1
}

start_lxqt() {
    # startlxqt adds /usr/share, where Debian keeps LXQt's default panel.conf.
    export XDG_CURRENT_DESKTOP=LXQt XDG_SESSION_TYPE=x11 XDG_CONFIG_DIRS=/etc/xdg:/usr/share
    background openbox openbox
    background lxqt-panel lxqt-panel
    poll 30 xdotool search --class '^lxqt-panel$' || return 1
    wait_for_watcher 30 || return 1
}

start_xfce() {
    export XDG_CURRENT_DESKTOP=XFCE XDG_SESSION_TYPE=x11
    # The default panel straight away, not the dialog that offers it on a first start.
    local channels="$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
    mkdir -p "$channels"
    cp /etc/xdg/xfce4/panel/default.xml "$channels/xfce4-panel.xml"
    background xfwm4 xfwm4
    background xfce4-panel xfce4-panel
    poll 30 xdotool search --class '^xfce4-panel$' || return 1
    wait_for_watcher 30 || return 1
}

start_mate() {
    export XDG_CURRENT_DESKTOP=MATE XDG_SESSION_TYPE=x11
    # One top panel with the Ayatana indicators applet beside the clock (Debian's default layout
    # with the indicators in place of the notification area).
    dconf load /org/mate/panel/ <<'EOF'
[general]
toplevel-id-list=['top']
object-id-list=['menu-bar', 'indicators', 'clock']

[toplevels/top]
expand=true
orientation='top'
size=28

[objects/menu-bar]
object-type='menu-bar'
toplevel-id='top'
position=0
locked=true

[objects/indicators]
object-type='applet'
applet-iid='IndicatorAppletCompleteFactory::IndicatorAppletComplete'
toplevel-id='top'
position=10
panel-right-stick=true
locked=true

[objects/clock]
object-type='applet'
applet-iid='ClockAppletFactory::ClockApplet'
toplevel-id='top'
position=0
panel-right-stick=true
locked=true
EOF
    background marco marco --no-composite
    background ayatana-indicator-application \
        /usr/libexec/ayatana-indicator-application/ayatana-indicator-application-service
    background mate-panel mate-panel
    poll 30 xdotool search --class '^mate-panel$' || return 1
    wait_for_watcher 30 || return 1
}

start_trayer_host() {
    export XDG_SESSION_TYPE=x11
    # desktop-session.sh's trayer, the one the end-to-end test uses.
    start_trayer "$work"
}

start_none() {
    export XDG_SESSION_TYPE=x11
}

# --- the run ---------------------------------------------------------------------------------------

record host "$host"
ready_at=$(now)
case $host in
gnome-x11 | gnome-wayland) start_gnome ;;
kde) start_kde ;;
sway) start_sway ;;
lxqt) start_lxqt ;;
xfce) start_xfce ;;
mate) start_mate ;;
trayer) start_trayer_host ;;
none) start_none ;;
*) false ;;
esac || {
    record notes "the host did not come up in time"
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.ListNames >"$out/bus-names.log" 2>&1
    gsettings get org.gnome.shell enabled-extensions >>"$out/bus-names.log" 2>&1
    gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell --method org.gnome.Shell.Extensions.ListExtensions >>"$out/bus-names.log" 2>&1
    shot "$out/host-failed.png" 2>/dev/null || true
    exit 1
}
record host_start "$(since "$ready_at")"
# Applets load after the panel maps: wait for two screenshots a second apart to agree.
# A screen of one colour is a panel not drawn yet (on hosts that have one).
settled() {
    shot "$work/a.png" && sleep 1 && shot "$work/before.png" &&
        [[ $(compare -metric AE "$work/a.png" "$work/before.png" null: 2>&1) == 0 ]] &&
        { [[ $host == none ]] || (($(convert "$work/before.png" -format '%[fx:standard_deviation > 0]' info:))); }
}
poll 30 settled || record notes "the desktop kept changing"
cp "$work/before.png" "$out/0-host.png"

# What the host asks of the item (Activate with its x and y, ContextMenu...), for reading later.
background sni-calls dbus-monitor --session "interface='org.kde.StatusNotifierItem'"

# Hourlark as a person starts it: empty data folders, the session's own display choice; its own
# diagnostics on.
started=$(now)
(
    export DISPLAY=$app_display QT_LOGGING_RULES="hourlark.*=true"
    exec env --default-signal=INT,QUIT "$app" >"$out/hourlark.log" 2>&1
) &
session_pids+=($!)
hourlark_pid=$!

# When the item reaches the watcher, apart from when the host draws it.
(
    poll 20 eval '[[ $(registered_items) == *StatusNotifierItem* ]]' && record registered "$(since "$started")"
) &
session_pids+=($!)

box=""
deadline=$((SECONDS + 20))
while ((SECONDS < deadline)); do
    if box=$(item_box); then
        break
    fi
    box=""
    sleep 0.2
done
if [[ -z $box ]]; then
    record visible "no"
    record items "$(registered_items | tr -d '\n')"
    shot "$out/1-no-item.png"
    exit 0
fi
record visible "$(since "$started")"
read -r ix iy iw ih <<<"$box"
record item "${iw}x${ih}+${ix}+${iy}"
# The item may still be moving into place (panels lay out in steps): take its final position.
sleep 1.5
box=$(item_box) && read -r ix iy iw ih <<<"$box"
record item "${iw}x${ih}+${ix}+${iy}"
cp "$work/now.png" "$out/1-item.png"

echo "item at ${iw}x${ih}+${ix}+${iy}"

# Counting: the label as the host shows it.
DISPLAY=$app_display "$app" start 30 Write >>"$out/hourlark.log" 2>&1
sleep 3.5
box=$(item_box) && read -r ix iy iw ih <<<"$box"
shot "$work/now.png"
cp "$work/now.png" "$out/2-counting.png"
record label "$(read_label "$ix" "$iy" "$iw" "$ih")"
record title "$(DISPLAY=$app_display "$app" status 2>/dev/null)"

# "X Y" of the words Open Timer (either will do) in the menu the host drew over AREA (WxH+X+Y), found by OCR.
open_timer_point() {
    [[ $1 =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    local ox=${BASH_REMATCH[3]} oy=${BASH_REMATCH[4]} crop="$work/menu.png"
    convert "$work/post.png" -crop "$1" +repage -colorspace gray -resize 200% "$crop"
    # Black words on white, which the OCR reads best: a dark menu's light words are the brightest
    # pixels around (the desktop behind may be any colour), a light menu's the darkest.
    if (($(convert "$crop" -format '%[fx:mean < 0.5]' info:))); then
        convert "$crop" -threshold 60% -negate "$crop"
    else
        convert "$crop" -threshold 50% "$crop"
    fi
    tesseract "$crop" - --psm 11 tsv 2>/dev/null | awk -F '\t' -v ox="$ox" -v oy="$oy" \
        '$12 == "Open" || $12 == "Timer" { printf "%d %d\n", ox + ($7 + $9 / 2) / 2, oy + ($8 + $10 / 2) / 2; found = 1; exit }
         END { exit !found }'
}

# Where the panel is against the item: "anchored" when it opens right below or above the item's
# bar (the badge's centre within its width, its near edge at most 24 px from the badge, which
# leaves room for the bar's padding), else how far off it is or by how much it covers the item.
placement() {
    local px py pw ph x=$((ix + iw / 2)) gap side
    read -r px py pw ph <<<"$(panel_box)"
    if ((py + ph / 2 > iy + ih / 2)); then
        gap=$((py - (iy + ih))) side=below
    else
        gap=$((iy - (py + ph))) side=above
    fi
    local off=$((x < px ? px - x : (x > px + pw ? x - (px + pw) : 0)))
    if ((off == 0 && gap < 0)); then
        echo "covers the item (${gap#-} px)"
    elif ((off == 0 && gap <= 24)); then
        echo "anchored, ${gap} px $side"
    elif ((gap < 0)); then
        echo "off: ${off} px aside, ${gap#-} px into the bar"
    else
        echo "off: ${off} px aside, ${gap} px $side"
    fi
}

# Empty desktop to click on: halfway down, on the side away from the panel (which may be anywhere).
outside_point() {
    local px=1000 py pw=0 ph
    [[ -n $(panel_box) ]] && read -r px py pw ph <<<"$(panel_box)"
    if ((px + pw / 2 > 640)); then echo "150 400"; else echo "1130 400"; fi
}

close_all() {
    key_escape
    sleep 0.3
    if panel_shown || own_menu_shown; then
        # shellcheck disable=SC2046 # two numbers
        click $(outside_point) 1
        sleep 0.5
    fi
    if panel_shown; then
        click $((ix + iw / 2)) $((iy + ih / 2)) 1
        sleep 0.8
    fi
}

cx=$((ix + iw / 2))
cy=$((iy + ih / 2))
for button in 1 2 3; do
    name=$(case $button in 1) echo left ;; 2) echo middle ;; 3) echo right ;; esac)
    shot "$work/pre.png"
    click "$cx" "$cy" "$button"
    result="nothing"
    if poll 3 panel_shown; then
        result="panel"
    elif own_menu_shown; then
        result="menu"
    fi
    # Off the item, so the pointer (which a nested compositor draws into the picture) hides nothing.
    [[ $host == sway ]] || xdotool mousemove 5 400
    sleep 0.7
    shot "$work/post.png"
    cp "$work/post.png" "$out/3-click-$name.png"
    # A menu the host draws itself: a box of changed pixels larger than the item's own redraw.
    read -r _ area <<<"$(changed_area "$work/pre.png" "$work/post.png")"
    if [[ $result == nothing ]]; then
        if [[ $area =~ ^([0-9]+)x([0-9]+) ]] && ((BASH_REMATCH[1] > 60 && BASH_REMATCH[2] > 40)); then
            result="menu"
        fi
    fi
    # Where a left click opens the host's menu, its Open Timer opens the panel.
    if [[ $name == left && $result == menu ]] && point=$(open_timer_point "$area"); then
        # shellcheck disable=SC2086 # two numbers
        click $point 1
        if poll 3 panel_shown; then
            record placement_open "$(placement)"
            shot "$out/3-open-timer.png"
        else
            record placement_open "not opened"
        fi
        close_all
    fi
    if [[ $result == panel ]]; then
        record "panel_$name" "$(panel_box)"
        record "placement_$name" "$(placement)"
        cp "$work/post.png" "$out/4-panel.png"
        # Listed in the taskbar: managed by the window manager without the skip-taskbar state.
        listed="n/a"
        if clients=$(DISPLAY=$app_display xprop -root _NET_CLIENT_LIST 2>/dev/null) && [[ $clients == *"# "* ]]; then
            listed="no"
            for id in $(grep -o '0x[0-9a-f]*' <<<"$clients"); do
                if DISPLAY=$app_display xprop -id "$id" WM_CLASS 2>/dev/null | grep -q '"hourlark"' &&
                    ! DISPLAY=$app_display xprop -id "$id" _NET_WM_STATE 2>/dev/null | grep -q SKIP_TASKBAR; then
                    listed="yes"
                fi
            done
        fi
        record taskbar "$listed"
        # A click on the empty desktop closes the panel, as with any popup.
        if [[ -z $(value outside) ]]; then
            # shellcheck disable=SC2046 # two numbers
            click $(outside_point) 1
            if poll 2 panel_gone; then record outside closes; else record outside "stays open"; fi
        fi
    fi
    record "click_$name" "$result"
    echo "after the $name click, our windows:"
    for id in $(DISPLAY=$app_display xdotool search --onlyvisible --class '^hourlark$' 2>/dev/null); do
        echo "  $id $(window_box "$id") $(DISPLAY=$app_display xdotool getwindowname "$id")"
    done
    close_all
done
# What a second launch, "Open Timer" or a shortcut does: the panel under the item's last position.
DISPLAY=$app_display "$app" show >>"$out/hourlark.log" 2>&1
if poll 3 panel_shown; then
    record panel_show "$(panel_box)"
    record placement_show "$(placement)"
    sleep 0.5
    shot "$out/5-show.png"
    record click_show panel
else
    record click_show nothing
fi
close_all
record hourlark_alive "$(kill -0 "$hourlark_pid" 2>/dev/null && echo yes || echo no)"
exit 0
