#!/usr/bin/env bash
# How velto's SIP side copes with floods, measured on the running program with a raw UDP
# sender (python3), in real time:
#   - the delay of the first answer to an INVITE right after 200 CANCELs, and after 4,000
#     garbage datagrams,
#   - the resident memory before and 3 s after INVITEs with 30 KB and 60 KB headers,
#   - the SIP thread's wake-ups per second while idle.
# Usage: bench/sip_floods.sh [BUILD_DIR] [IDLE_SECONDS]
set -euo pipefail
build=${1:-build/release}
idle=${2:-10}
velto=$build/bin/velto
account=$build/bin/velto-account
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
port=25098
"$account" set identity sip:velto@127.0.0.1 >/dev/null
"$account" set listen 127.0.0.1:$port >/dev/null

"$velto" --headless >"$work/velto.log" 2>&1 &
pid=$!
until grep -q "SIP: listening" "$work/velto.log"; do sleep 0.1; done
sleep 2
sip=$(grep -l '^sip$' /proc/$pid/task/*/comm | head -1 | xargs dirname)
switches() { awk '/ctxt_switches/ {s += $2} END {print s}' "$sip/status"; }
s0=$(switches)
sleep "$idle"
s1=$(switches)
echo "idle ${idle} s: SIP thread $(echo "scale=1; ($s1 - $s0) / $idle" | bc) wake-ups/s"

python3 - "$port" "$pid" <<'PY'
import os, socket, sys, time
port, pid = int(sys.argv[1]), int(sys.argv[2])
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4 << 20)
s.bind(("127.0.0.93", 0))
me = "127.0.0.93:%d" % s.getsockname()[1]
target = "sip:velto@127.0.0.1:%d" % port

def request(method, call, branch, extra=""):
    return ("%s %s SIP/2.0\r\nVia: SIP/2.0/UDP %s;branch=z9hG4bK%s\r\nMax-Forwards: 70\r\n"
            "From: <sip:flood@%s>;tag=f%s\r\nTo: <%s>\r\nCall-ID: %s\r\nCSeq: 1 %s\r\n"
            "Contact: <sip:flood@%s>\r\n%sContent-Length: 0\r\n\r\n" %
            (method, target, me, branch, me, branch, target, call, method, me, extra)).encode()

def drain():
    s.setblocking(False)
    try:
        while True:
            s.recv(70000)
    except BlockingIOError:
        pass
    s.setblocking(True)

def first_answer(call):
    drain()
    start = time.monotonic()
    s.sendto(request("INVITE", call, call), ("127.0.0.1", port))
    s.settimeout(15)
    try:
        while True:
            data = s.recv(70000)
            if call.encode() in data and data.startswith(b"SIP/2.0"):
                took = time.monotonic() - start
                s.sendto(request("CANCEL", call, call), ("127.0.0.1", port))
                return "%.0f ms (%s)" % (took * 1000, data.split(b"\r\n")[0].decode())
    except socket.timeout:
        return "no answer within 15 s"

def rss():
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS"):
            return int(line.split()[1])

print("INVITE on a quiet socket: first answer after", first_answer("quiet-1"))
time.sleep(1)
for i in range(200):
    s.sendto(request("CANCEL", "cancel-%d" % i, "c%d" % i), ("127.0.0.1", port))
print("INVITE right after 200 CANCELs: first answer after", first_answer("after-cancels"))
time.sleep(2)
for i in range(4000):
    s.sendto(b"garbage %d \x01\x02\x03 no SIP at all" % i, ("127.0.0.1", port))
print("INVITE right after 4,000 garbage datagrams: first answer after",
      first_answer("after-garbage"))
for size in (30000, 60000):
    time.sleep(3)
    before = rss()
    big = request("INVITE", "big-%d" % size, "big%d" % size, "X-Padding: " + "a" * size + "\r\n")
    s.sendto(big, ("127.0.0.1", port))
    time.sleep(3)
    after = rss()
    print("INVITE of %d bytes: resident memory %d kB before, %d kB 3 s after (%+d kB)" %
          (len(big), before, after, after - before))
print("INVITE after it: first answer after", first_answer("after-big"))
PY
kill -TERM $pid
wait $pid || true
