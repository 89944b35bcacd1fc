#!/usr/bin/env bash
# Wake-ups per second per ringing call and the gaps between tone re-arms, in real time.
# For each count of calls (CALLS, default "1 20") velto-scenario --real-time plays that
# many voice calls ringing together (voice mail off, so they ring until hung up). The
# script reads the context switches and CPU ticks of every thread of the process
# (/proc/PID/task/*/status and stat) over a window of WINDOW seconds (default 20) while
# the program idles after the contact list came up, and over a window as long while all
# calls ring; the difference, per call, is the cost of a ringing call. The re-arm gaps come
# from the report: the silence between two plays of the tone, per re-arm. The wake-ups of the
# simulated client's own thread (named sim-alarm: it reports when a tone has played) are
# also shown apart: a real client pays for its own.
# Needs: the release preset built (velto-scenario), python3.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/release}
scenario=$build/bin/velto-scenario
[[ -x $scenario ]] || { echo "call_wakeups: build the release preset first"; exit 1; }
window=${WINDOW:-20}

for calls in ${CALLS:-1 20}; do
  work=$(mktemp -d)
  python3 - "$scenario" "$work" "$calls" "$window" <<'PY'
import glob, json, os, subprocess, sys, time

scenario, work, calls, window = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
# Program time: idle from the start, the calls at `ring`, sampled from `ring` + 7 s (the
# panel rings from 5 s on), hung up after the window.
ring = window + 8
hangup = ring + 7 + window + 4
lines = ['user velto.user "Vera Velto" Vera', "voicemail off", "friendmsg off"]
lines += [f'contact c{i} "Caller {i}" C{i}' for i in range(calls)]
lines += ["at 0s", f"at {ring}s"] + [f"call k{i} from c{i}" for i in range(calls)]
lines += [f"at {hangup}s"] + [f"hangup k{i}" for i in range(calls)]
path = os.path.join(work, "calls.scn")
open(path, "w").write("\n".join(lines) + "\n")

def sample(pid):
    switches, nonvoluntary, ticks = {}, 0, 0
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            if open(task + "/comm").read().strip() == "sim-alarm":
                task += "#sim"  # the simulated client's own thread, counted apart
            status = open(task.split("#")[0] + "/status").read().split("\n")
            stat = open(task.split("#")[0] + "/stat").read().rsplit(")", 1)[1].split()
        except OSError:
            continue  # the thread ended meanwhile
        fields = dict(line.split(":\t", 1) for line in status if ":\t" in line)
        switches[task] = int(fields["voluntary_ctxt_switches"])
        nonvoluntary += int(fields["nonvoluntary_ctxt_switches"])
        ticks += int(stat[11]) + int(stat[12])
    return switches, nonvoluntary, ticks

def window_cost(pid, start, length):
    time.sleep(max(0, start - (time.monotonic() - t0)))
    a, an, at = sample(pid)
    time.sleep(length)
    b, bn, bt = sample(pid)
    # A thread born in the window counts with all it did; one that ended in it is lost
    # (while calls ring steadily, none does).
    woken = sum(b[t] - a.get(t, 0) for t in b)
    client = sum(b[t] - a.get(t, 0) for t in b if t.endswith("#sim"))
    hz = os.sysconf("SC_CLK_TCK")
    return woken / length, (bn - an) / length, (bt - at) / hz / length * 100, client / length

t0 = time.monotonic()
out = open(os.path.join(work, "report.json"), "w")
proc = subprocess.Popen([scenario, "--real-time", "--json", "--data", os.path.join(work, "data"),
                         path], stdout=out)
idle = window_cost(proc.pid, 4, window)
busy = window_cost(proc.pid, ring + 9, window)
proc.wait()
report = json.load(open(os.path.join(work, "report.json")))
gaps = []
for call in report["calls"]:
    tones = [s for s in call["heard"] if s["file"].endswith("default.wav")]
    gaps += [b["startMs"] - a["endMs"] for a, b in zip(tones, tones[1:])]
gaps.sort()
late = sum(1 for g in gaps if g > 1)
print(f"{calls} ringing call(s), {window} s windows, real time:")
print(f"  idle:    {idle[0]:7.1f} wake-ups/s, {idle[1]:6.1f} preemptions/s, CPU {idle[2]:5.2f} %")
print(f"  ringing: {busy[0]:7.1f} wake-ups/s, {busy[1]:6.1f} preemptions/s, CPU {busy[2]:5.2f} %")
print(f"  per ringing call: {(busy[0] - idle[0]) / calls:6.2f} wake-ups/s (goal <= 5), of which "
      f"{(busy[3] - idle[3]) / calls:4.2f} the simulated client's own thread (it reports the tone's end)")
if gaps:
    print(f"  re-arms: {len(gaps)}, gap max {gaps[-1]} ms, median {gaps[len(gaps) // 2]} ms, "
          f"above 1 ms: {late} (goal: none)")
print(f"  contact list settled {report.get('contactListShownAtMs', -1) - report.get('attachedAtMs', 0)} ms after the grant")
PY
  rm -rf "$work"
done
