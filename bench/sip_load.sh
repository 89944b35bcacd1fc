#!/usr/bin/env bash
# The program under many callers at once (sipp, Debian's sip-tester, on loopback):
#   1. 50 calls at once, each ringing 8 s and then given up (CANCEL);
#   2. 5 new calls a second for RATE_SECONDS (default 60), each as above.
# With MaxCalls (default 20) calls on, the next is refused busy (486). Reports the calls
# taken and refused (from the program's trace), the missed-call records, the program's CPU,
# peak memory, threads and open descriptors before and after.
# Usage: bench/sip_load.sh [BUILD_DIR] [RATE_SECONDS] [MAX_CALLS]
set -euo pipefail
build=${1:-build/release}
seconds=${2:-60}
max_calls=${3:-20}
here=$(cd "$(dirname "$0")" && pwd)
velto=$build/bin/velto
account=$build/bin/velto-account
inspect=$build/bin/velto-inspect
command -v sipp >/dev/null || { echo "sipp is not installed (apt-get install sip-tester)"; exit 2; }
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
port=25098
"$account" set identity sip:velto@127.0.0.1 >/dev/null
"$account" set listen 127.0.0.1:$port >/dev/null
printf '\n[Software\\Velto\\Sip]\n"MaxCalls"=dword:%08x\n' "$max_calls" \
    >>"$XDG_CONFIG_HOME/Velto/user.reg"

"$velto" --headless >"$work/velto.log" 2>&1 &
pid=$!
until grep -q "SIP: listening" "$work/velto.log"; do sleep 0.1; done
sleep 2
hz=$(getconf CLK_TCK)
figures() {
    echo "$1: threads $(ls /proc/$pid/task | wc -l), descriptors $(ls /proc/$pid/fd | wc -l)," \
         "memory $(awk '/VmRSS/ {print $2, $3}' /proc/$pid/status) (peak $(awk '/VmHWM/ {print $2, $3}' /proc/$pid/status))"
}
ticks() { awk '{print $14 + $15}' /proc/$pid/stat; }
figures "before"
run() {  # name, sipp arguments...
    local name=$1
    shift
    local t0 s0
    t0=$(ticks)
    s0=$(date +%s%N)
    local sipp_pid
    sipp_pid=$(sipp 127.0.0.1:$port -i 127.0.0.1 -p 0 -mp 26000 \
        -sf "$here/sip_load/ring_and_cancel.xml" -bg -trace_err -error_file "$work/$name.err" \
        "$@" 2>"$work/$name.log" | sed -n 's/.*PID=\[\([0-9]*\)\].*/\1/p' || true)
    [ -n "$sipp_pid" ] || { echo "$name: sipp did not start: $(cat "$work/$name.log")"; return; }
    # -bg returns at once: wait for the last call to end (sipp exits).
    while kill -0 "$sipp_pid" 2>/dev/null; do sleep 0.5; done
    if [ -s "$work/$name.err" ]; then
        echo "$name: calls sipp aborted: $(grep -ci "aborting call" "$work/$name.err" || true)"
    fi
    local s1 t1
    t1=$(ticks)
    s1=$(date +%s%N)
    local wall=$(( (s1 - s0) / 1000000 ))
    echo "$name: $(echo "scale=1; 100 * ($t1 - $t0) / $hz * 1000 / $wall" | bc) % CPU of one core over $(( wall / 1000 )) s"
}
taken() { grep "^SIP: call [0-9]* from" "$work/velto.log" | grep -vc "refused" || true; }
refused() { grep -c "refused: .* calls are on" "$work/velto.log" || true; }
run "50_at_once" -l 50 -m 50 -r 50 -rp 1000
sleep 3
echo "  taken $(taken), refused $(refused)"
a=$(taken); r=$(refused)
run "5_a_second_for_${seconds}_s" -l 200 -m $((5 * seconds)) -r 5 -rp 1000
sleep 3
echo "  taken $(( $(taken) - a )), refused $(( $(refused) - r ))"
figures "after"
sleep 2
"$inspect" missed --json "$XDG_DATA_HOME/Velto/velto@127.0.0.1/MissedCalls" >"$work/missed.json" || true
echo "missed-call records: $(grep -o '"handle"' "$work/missed.json" | wc -l)"
kill -TERM $pid
wait $pid || true
