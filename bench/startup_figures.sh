#!/usr/bin/env bash
# The desktop program's start-up and idle figures, in real time, on the release build:
# - start to main window shown: from spawning velto to its trace line "MainWindow: first
#   painted", RUNS times (default 15; one home folder, not the first start, so no language
#   question), as minimum, median and maximum, on Qt's offscreen platform and, when
#   xvfb-run is installed, on an X server (with trayer as its tray host when installed);
# - UI-thread wake-ups per second while idle with the main window open: the voluntary and
#   involuntary context switches of the main thread (/proc/PID/task/PID/status) over
#   WINDOW seconds (default 10), counted from 3 s after the window was shown.
# With SIP_ACCOUNT=1 the home holds a SIP identity on loopback: the window's time is then
# measured with the SIP module loading after it, and the time to "SIP: listening on" too.
# Usage: bench/startup_figures.sh [BUILD_DIR]   (default build/release; needs python3)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
x11=
if [[ "${1:-}" == --x11 ]]; then  # the second half, run under xvfb-run by the first
  x11=1
  shift
fi
build=${1:-$root/build/release}
velto=$build/bin/velto
[[ -x $velto ]] || { echo "startup_figures: build the release preset first (target velto)"; exit 1; }

measure() {
  local platform=$1
  local home
  home=$(mktemp -d)
  mkdir -p "$home/run" "$home/.config/Velto"
  chmod 700 "$home/run"
  printf 'Windows Registry Editor Version 5.00\n\n[Software\\Velto]\n"DefaultLanguage"=dword:00000003\n' \
    >"$home/.config/Velto/user.reg"
  if [[ -n "${SIP_ACCOUNT:-}" ]]; then
    printf '\n[Software\\Velto\\Sip]\n"Identity"="sip:bench@127.0.0.1"\n"Listen"="127.0.0.1:25093"\n' \
      >>"$home/.config/Velto/user.reg"
  fi
  python3 - "$velto" "$home" "$platform" "${RUNS:-15}" "${WINDOW:-10}" <<'PY'
import os, signal, statistics, subprocess, sys, time

velto, home, platform, runs, window = sys.argv[1:4] + [int(sys.argv[4]), int(sys.argv[5])]
env = {"HOME": home, "XDG_RUNTIME_DIR": home + "/run", "PATH": "/usr/bin:/bin"}
if platform == "offscreen":
    env["QT_QPA_PLATFORM"] = "offscreen"
else:
    env["DISPLAY"] = os.environ["DISPLAY"]
    env["XAUTHORITY"] = os.environ.get("XAUTHORITY", "")

sip = "Sip]" in open(home + "/.config/Velto/user.reg").read()
listening = []

def start():
    began = time.perf_counter()
    process = subprocess.Popen([velto], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    shown = heard = None
    for line in process.stdout:
        if shown is None and "MainWindow: first painted" in line:
            shown = (time.perf_counter() - began) * 1000
        if sip and heard is None and "SIP: listening on" in line:
            heard = (time.perf_counter() - began) * 1000
        if shown is not None and (heard is not None or not sip):
            if heard is not None:
                listening.append(heard)
            return process, shown
    raise SystemExit("startup_figures: velto ended before its window was shown")

def stop(process):
    process.send_signal(signal.SIGTERM)
    process.stdout.read()
    process.wait()

def switches(pid):
    total = 0
    with open(f"/proc/{pid}/task/{pid}/status") as status:
        for line in status:
            if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                total += int(line.split()[-1])
    return total

times = []
for _ in range(runs):
    process, ms = start()
    times.append(ms)
    stop(process)
print(f"{platform}: start to main window shown, {runs} runs: min {min(times):.0f} ms, "
      f"median {statistics.median(times):.0f} ms, max {max(times):.0f} ms")
if listening:
    print(f"{platform}: start to \"SIP: listening on\", {runs} runs: min {min(listening):.0f} ms, "
          f"median {statistics.median(listening):.0f} ms, max {max(listening):.0f} ms")

process, _ = start()
time.sleep(3)
before = switches(process.pid)
time.sleep(window)
after = switches(process.pid)
stop(process)
print(f"{platform}: UI-thread wake-ups while idle with the window open: "
      f"{(after - before) / window:.2f}/s over {window} s (the blink timer alone: 1.25/s)")
PY
  rm -rf "$home"
}

if [[ -n $x11 ]]; then
  # A desktop with a notification area, when trayer is installed.
  if command -v trayer >/dev/null; then
    trayer --edge bottom --align right --widthtype pixel --width 120 >/dev/null 2>&1 &
    tray=$!
    trap 'kill $tray' EXIT
  fi
  measure x11
  exit 0
fi
measure offscreen
if command -v xvfb-run >/dev/null && [[ -z "${NO_X:-}" ]]; then
  runtime=$(mktemp -d)
  chmod 700 "$runtime"
  XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1024x768x24" "$0" --x11 "$build"
  rm -rf "$runtime"
fi
