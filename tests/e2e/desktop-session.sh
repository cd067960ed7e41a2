# shellcheck shell=bash
# Shared by the end-to-end test and the footprint benchmark: a throw-away X desktop with a tray
# host and a notification daemon, and small polling helpers. Source it; do not run it.

# Every process started here, ended (by its own id) when the session ends.
session_pids=()

session_cleanup() {
    local pid
    for pid in "${session_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${session_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    session_pids=()
}

# poll TIMEOUT_SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails on timeout.
poll() {
    local timeout=$1
    shift
    local deadline=$((SECONDS + timeout))
    until "$@" >/dev/null 2>&1; do
        if ((SECONDS >= deadline)); then
            return 1
        fi
        sleep 0.1
    done
}

# Starts Xvfb on a free display and exports DISPLAY. Returns 1 when no X server comes up.
start_xvfb() {
    local folder=$1
    local numberFile="$folder/display"
    : >"$numberFile"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$numberFile" \
        >"$folder/xvfb.log" 2>&1 &
    session_pids+=($!)
    if ! poll 30 test -s "$numberFile"; then
        return 1
    fi
    DISPLAY=":$(head -n1 "$numberFile")"
    export DISPLAY
    poll 30 xdpyinfo
}

# An XEmbed tray in a panel along the top edge, as on a plain X11 desktop.
start_trayer() {
    local folder=$1
    trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
        --transparent false >"$folder/trayer.log" 2>&1 &
    session_pids+=($!)
    poll 30 tray_host_present
}

tray_host_present() {
    xdotool search --class '^trayer$'
}

start_dunst() {
    local folder=$1
    dunst >"$folder/dunst.log" 2>&1 &
    session_pids+=($!)
    poll 30 notification_service_present
}

# Asked without activating anything: dunst's D-Bus service file would start a second one.
notification_service_present() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications | grep -q true
}

# The outer half of an end-to-end script: a work folder and Xvfb, then SCRIPT itself again on a
# private session bus as `SCRIPT --inside-bus APP OUT WORK`; exits with its status, or 77
# (skipped) where Xvfb cannot start.
run_inside_private_bus() { # SCRIPT APP OUT
    work=$(mktemp -d)
    trap 'session_cleanup; rm -rf "$work"' EXIT
    if ! start_xvfb "$work"; then
        echo "SKIP: Xvfb cannot start here"
        cat "$work/xvfb.log" || true
        exit 77
    fi
    local status=0
    dbus-run-session -- bash "$1" --inside-bus "$2" "$3" "$work" || status=$?
    exit $status
}
