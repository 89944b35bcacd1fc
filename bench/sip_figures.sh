#!/usr/bin/env bash
# Figures of the SIP backend, measured on the running program (not in unit tests):
#   - the SIP thread's wake-ups per second and CPU while idle,
#   - the time from baresip's INVITE to the first ring-back sound it receives,
#   - the peak memory (VmHWM) of velto after a call.
# Usage: bench/sip_figures.sh [BUILD_DIR] [IDLE_SECONDS]   (needs baresip)
set -euo pipefail
build=${1:-build/release}
idle=${2:-30}
velto=$build/bin/velto
account=$build/bin/velto-account
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" "$work/peer/dump" && chmod 700 "$XDG_RUNTIME_DIR"
port=25099
"$account" set identity sip:velto@127.0.0.1 >/dev/null
"$account" set listen 127.0.0.1:$port >/dev/null
"$account" add-contact sip:alice@127.0.0.89 "Alice" >/dev/null
sox -n -r 8000 -c 1 -b 16 "$work/voice.wav" synth 10 sine 440 vol 0.3

"$velto" --headless >"$work/velto.log" 2>&1 &
pid=$!
until grep -q "SIP: listening" "$work/velto.log"; do sleep 0.1; done
sleep 2
sip=$(grep -l '^sip$' /proc/$pid/task/*/comm | head -1 | xargs dirname)
switches() { awk '/ctxt_switches/ {s += $2} END {print s}' "$sip/status"; }
ticks() { awk '{print $14 + $15}' "$sip/stat"; }
proc_ticks() { awk '{print $14 + $15}' /proc/$pid/stat; }
s0=$(switches); t0=$(ticks); p0=$(proc_ticks)
sleep "$idle"
s1=$(switches); t1=$(ticks); p1=$(proc_ticks)
hz=$(getconf CLK_TCK)
echo "idle ${idle} s: SIP thread $(echo "scale=1; ($s1 - $s0) / $idle" | bc) wake-ups/s," \
     "CPU $(echo "scale=3; 100 * ($t1 - $t0) / $hz / $idle" | bc) %;" \
     "whole process CPU $(echo "scale=3; 100 * ($p1 - $p0) / $hz / $idle" | bc) %;" \
     "threads $(ls /proc/$pid/task | wc -l)"

cat >"$work/peer/config" <<CONF
poll_method epoll
sip_listen 127.0.0.89:5060
audio_player aubridge,nothing
audio_alert aubridge,nothing
audio_source aufile,$work/voice.wav
module_path /usr/lib/baresip/modules
module stdio.so
module g711.so
module aufile.so
module aubridge.so
module sndfile.so
module_app account.so
module_app menu.so
snd_path $work/peer/dump
CONF
echo "<sip:alice@127.0.0.89>;regint=0" >"$work/peer/accounts"
for run in 1 2 3 4 5; do
    rm -f "$work/peer/dump/"*
    : >"$work/peer/log"
    timeout -s KILL 6 baresip -4 -s -f "$work/peer" -e "/dial sip:velto@127.0.0.1:$port" -t 4 \
        >"$work/peer/log" 2>&1 </dev/null &
    until grep -q "^INVITE sip:velto" "$work/peer/log" 2>/dev/null; do :; done
    invite=$(date +%s%N)
    until ls "$work/peer/dump/"*-dec.wav >/dev/null 2>&1; do :; done
    media=$(date +%s%N)
    echo "call $run: INVITE to the first ring-back audio: $(( (media - invite) / 1000000 )) ms"
    wait %% 2>/dev/null || true
    sleep 1
done
echo "peak memory (VmHWM) after the calls: $(awk '/VmHWM/ {print $2, $3}' /proc/$pid/status)"
kill -TERM $pid
wait $pid || true
