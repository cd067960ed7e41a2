#!/usr/bin/env bash
# What a screen reader finds in the running program: the real binary on Xvfb with trayer and dunst,
# its accessibility tree on the AT-SPI bus (at-spi2-core, started by D-Bus activation on a private
# session bus), read and driven by atspi_check.py through python3-pyatspi as Orca would.
#   atspi_e2e.sh HOURLARK_BINARY ARTEFACT_FOLDER
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"

if [[ ${1:-} != --inside-bus ]]; then
    app=$(realpath "$1")
    out=$2
    rm -rf "$out"
    mkdir -p "$out"
    for tool in Xvfb xdpyinfo trayer dunst xdotool import dbus-run-session /usr/libexec/at-spi-bus-launcher; do
        command -v "$tool" >/dev/null || { echo "missing $tool (run scripts/install-deps)"; exit 1; }
    done
    # Debian's own Python, where python3-pyatspi is installed, whatever else PATH offers.
    /usr/bin/python3 -c 'import pyatspi' || { echo "missing python3-pyatspi (run scripts/install-deps)"; exit 1; }
    run_inside_private_bus "$0" "$app" "$out"
fi

app=$2
out=$3
work=$4
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# Qt exposes its tree only when a screen reader has asked for it through the desktop's setting;
# this session has no such setting, so it is told directly.
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
trap 'import -window root "$out/last.png" || true; session_cleanup' EXIT

fail() {
    echo "FAIL: $*"
    cat "$out/hourlark.log" 2>/dev/null || true
    exit 1
}

start_trayer "$work" || fail "trayer is up"
start_dunst "$work" || fail "dunst is up"

env --default-signal=INT,QUIT "$app" >"$out/hourlark.log" 2>&1 &
hourlark_pid=$!
session_pids+=("$hourlark_pid")
# `status` only asks: it answers once the program is up and never starts one itself.
poll 60 "$app" status || fail "hourlark answers on the session bus"

/usr/bin/python3 "$here/atspi_check.py" "$app" "$hourlark_pid" || fail "the screen reader's view"

kill -TERM "$hourlark_pid"
poll 30 bash -c "! kill -0 $hourlark_pid 2>/dev/null || ps -o stat= -p $hourlark_pid | grep -q Z" ||
    fail "SIGTERM ends the program"
echo "All steps passed"
