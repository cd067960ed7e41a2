#!/usr/bin/env bash
# The command line's figures, each beside a baseline measured in the same run:
#   status        `hourlark status` from process start to exit, against `gdbus call` reading the
#                 same property (Title) from the same running Hourlark: the median wall time
#                 per call, the two alternating, and CPU time per call where perf is installed
#   follow        context switches of every thread of `hourlark status --follow` over 10 s with
#                 the countdown stopped, then running, against `gdbus monitor` on the same name
#   export        `hourlark export` of 100 000 completions to CSV and JSON, from the running
#                 Hourlark and from the file with none running, against Python's json and csv
#                 modules doing the CSV from the same file
# Hourlark runs offscreen on a private session bus with a throw-away data folder.
# Usage: bench/control.sh BUILD_FOLDER [RUNS]   (a Release build: -DCMAKE_BUILD_TYPE=Release)
set -euo pipefail

if [[ ${1:-} != --inside-bus ]]; then
    build=$(realpath "${1:?build folder}")
    runs=${2:-200}
    here=$(cd "$(dirname "$0")" && pwd)
    exec dbus-run-session --config-file="$here/../tests/support/private-session-bus.conf" -- \
        bash "$0" --inside-bus "$build" "$runs"
fi

build=$2
runs=$3
app=$build/src/app/hourlark
work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_DATA_HOME/hourlark" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8

now_ns() { date +%s%N; }

# timed OUT COMMAND...: appends the wall milliseconds of one run to OUT (bash's clock: no process
# is started to read it).
timed() {
    local out=$1 start
    shift
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1
    awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f\n", (b - a) * 1000 }' >>"$out"
}

# CPU milliseconds (task-clock of every thread) per run of COMMAND over $runs runs; perf only.
cpu_ms() {
    command -v perf >/dev/null || { echo "n/a"; return; }
    perf stat -x, -e task-clock -r "$runs" "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ { printf "%.2f", $1 }'
}

# median FILE COLUMN
median() {
    sort -n -k"$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { printf "%.2f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/ctxt_switches/ { sum += $2 } END { printf "%d", sum }'
}

start_hourlark() {
    "$app" >"$work/hourlark.log" 2>&1 &
    hourlark_pid=$!
    pids+=("$hourlark_pid")
    local i
    for ((i = 0; i < 200; i++)); do
        "$app" status >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Hourlark did not come up"; cat "$work/hourlark.log"; exit 1
}

stop_hourlark() {
    kill "$hourlark_pid"
    wait "$hourlark_pid" 2>/dev/null || true
}

gdbus_title() {
    gdbus call --session --dest io.github.hourlark.Hourlark \
        --object-path /io/github/hourlark/Hourlark/Timer \
        --method org.freedesktop.DBus.Properties.Get io.github.hourlark.Hourlark.Timer Title
}

# --- status -------------------------------------------------------------------------------------
start_hourlark
"$app" start 25 Write
[[ $("$app" status) == "$(gdbus_title | sed -E "s/^\(<'(.*)'>,\)$/\1/")" ]] ||
    [[ $("$app" status) == "$(gdbus_title | sed -E "s/^\(<'(.*)'>,\)$/\1/")" ]] ||
    { echo "status and gdbus disagree"; exit 1; }
echo "status: $runs pairs, each call timed alone, the two alternating; medians of the wall time"
echo "from process start to exit, in ms; then CPU time per call (perf stat, every thread)"
for round in 1 2 3; do
    rm -f "$work/gdbus.times" "$work/status.times"
    for ((i = 0; i < runs; i++)); do
        timed "$work/gdbus.times" gdbus_title
        timed "$work/status.times" "$app" status
    done
    wall_gdbus=$(median "$work/gdbus.times" 1)
    wall_ours=$(median "$work/status.times" 1)
    echo "  round $round: gdbus call $wall_gdbus, hourlark status $wall_ours, ratio" \
        "$(ratio "$wall_ours" "$wall_gdbus")"
done
cpu_gdbus=$(cpu_ms gdbus call --session --dest io.github.hourlark.Hourlark \
    --object-path /io/github/hourlark/Hourlark/Timer \
    --method org.freedesktop.DBus.Properties.Get io.github.hourlark.Hourlark.Timer Title)
cpu_ours=$(cpu_ms "$app" status)
echo "  CPU: gdbus call $cpu_gdbus, hourlark status $cpu_ours"

# --- follow -------------------------------------------------------------------------------------
echo "status --follow: context switches of all threads over 10 s"
"$app" stop
"$app" status --follow --format waybar >"$work/follow.log" &
follow_pid=$!
pids+=("$follow_pid")
gdbus monitor --session --dest io.github.hourlark.Hourlark >"$work/monitor.log" &
monitor_pid=$!
pids+=("$monitor_pid")
sleep 2
for state in stopped running; do
    [[ $state == running ]] && "$app" start && sleep 1
    follow_before=$(switches "$follow_pid")
    monitor_before=$(switches "$monitor_pid")
    lines_before=$(wc -l <"$work/follow.log")
    sleep 10
    echo "  $state: hourlark status --follow $(($(switches "$follow_pid") - follow_before))," \
        "gdbus monitor $(($(switches "$monitor_pid") - monitor_before));" \
        "$(($(wc -l <"$work/follow.log") - lines_before)) lines printed"
done
kill "$follow_pid" "$monitor_pid"
stop_hourlark

# --- export -------------------------------------------------------------------------------------
history="$XDG_DATA_HOME/hourlark/TaskHistoryData.json"
python3 - "$history" <<'PY'
import json, random, sys, uuid
random.seed(7)
names = ["Write", "Review, edit", 'Read "papers"', "Plan", "E-mail", "会議", "Code", "Call"]
entries, end = [], 600_000_000.0
for _ in range(100_000):
    duration = random.randint(60, 3600)
    end += duration + random.random() * 600
    entries.append({"id": str(uuid.uuid4()).upper(), "taskName": random.choice(names),
                    "duration": duration, "startTime": end - duration - random.random(),
                    "endTime": end, "completionDate": end})
with open(sys.argv[1], "w") as f:
    json.dump(entries, f, separators=(",", ":"))
PY
python_csv() {
    python3 - "$history" <<'PY'
import csv, datetime, json, sys
epoch = datetime.datetime(2001, 1, 1, tzinfo=datetime.timezone.utc)
w = csv.writer(open("/dev/null", "w"))
w.writerow(["id", "task", "start", "end", "completed", "duration_seconds", "duration"])
for e in json.load(open(sys.argv[1])):
    t = lambda s: (epoch + datetime.timedelta(seconds=s)).astimezone().isoformat(timespec="seconds")
    d = e["duration"]
    w.writerow([e["id"], e["taskName"], t(e["startTime"]), t(e["endTime"]), t(e["completionDate"]),
                d, "%d:%02d:%02d" % (d // 3600, d // 60 % 60, d % 60)])
PY
}
seconds_of() {
    local start
    start=$(now_ns)
    "$@" >/dev/null
    awk -v ns=$(($(now_ns) - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}
echo "export of 100000 completions ($(du -h "$history" | cut -f1) of JSON), seconds"
for round in 1 2 3; do
    echo "  round $round: file, none running: csv $(seconds_of "$app" export -o "$work/out.csv")," \
        "json $(seconds_of "$app" export --json -o "$work/out.json");" \
        "python json+csv $(seconds_of python_csv)"
done
[[ $(wc -l <"$work/out.csv") == 100001 ]] || { echo "the CSV has $(wc -l <"$work/out.csv") lines"; exit 1; }
start_hourlark
for round in 1 2 3; do
    echo "  round $round: from the running Hourlark: csv $(seconds_of "$app" export -o "$work/out.csv")," \
        "json $(seconds_of "$app" export --json -o "$work/out.json")"
done
stop_hourlark
