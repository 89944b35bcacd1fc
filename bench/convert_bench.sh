#!/usr/bin/env bash
# Times velto-convert against ffmpeg, sox and libmad's own decoding on a generated 3-minute
# 44.1 kHz joint-stereo 128 kbit/s MP3, the ConvertingThread job against velto-convert, and
# on a one-hour MP3: velto-convert against ffmpeg and against itself on one processor (its
# one-pass decoding), in alternating runs, and its peak memory.
# Needs: the release preset built (velto-convert, tone_bench), sox, lame, ffmpeg, hyperfine
# and GNU time (scripts/setup --bench).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/release}
convert=$build/bin/velto-convert
bench=$build/bench/tone_bench
runs=${RUNS:-10}
for tool in sox lame ffmpeg hyperfine /usr/bin/time python3 taskset; do
  command -v "$tool" >/dev/null || { echo "convert_bench: $tool is missing (scripts/setup --bench)"; exit 1; }
done
[[ -x $convert && -x $bench ]] || { echo "convert_bench: build the release preset first"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Synthetic music-like input: two tones and pink noise, different on each side.
sox -n -r 44100 -c 2 -b 16 "$work/src.wav" synth 180 sine 220 pinknoise \
  remix 1v0.5,2v0.2 2v0.5,1v0.2 gain -6 2>/dev/null
lame --quiet -m j -b 128 "$work/src.wav" "$work/in.mp3"
rm "$work/src.wav"
echo "input: 3 min, $(stat -c %s "$work/in.mp3") bytes"

# libmad's decode-only loop runs as a process too, so that it is timed like the commands.
export VELTO_BENCH_MP3=$work/in.mp3
hyperfine -N --warmup 2 --runs "$runs" --export-json "$work/times.json" \
  -n velto-convert "$convert $work/in.mp3 $work/velto.wav" \
  -n velto-convert-two-step "$convert --two-step $work/in.mp3 $work/velto2.wav" \
  -n ffmpeg "ffmpeg -loglevel error -y -i $work/in.mp3 -ac 1 -ar 16000 $work/ffmpeg.wav" \
  -n sox "sox $work/in.mp3 -r 16000 -c 1 -b 16 $work/sox.wav" \
  -n libmad-decode-only "$bench --benchmark_filter=BM_MadDecodeOnly --benchmark_min_time=0" >/dev/null

"$bench" --benchmark_repetitions="$runs" --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$work/bench.json" 2>/dev/null

python3 - "$work/times.json" "$work/bench.json" <<'PY'
import json, statistics, sys
# Wall time suffers from whatever else the machine runs; CPU time (user + system) is the
# steadier measure on a shared machine, so both are shown. Commands: median wall, mean CPU
# (hyperfine gives CPU means only); in-process benchmarks: medians.
wall, cpu = {}, {}
for r in json.load(open(sys.argv[1]))["results"]:
    wall[r["command"]] = statistics.median(r["times"]) * 1000
    cpu[r["command"]] = (r["user"] + r["system"]) * 1000  # hyperfine gives means only
for b in json.load(open(sys.argv[2]))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        name = b["run_name"].split("/")[0]
        wall[name], cpu[name] = b["real_time"], b["cpu_time"]
print(f"  {'median, ms':22s} {'wall':>8s} {'cpu':>8s}")
for name in wall:
    print(f"  {name:22s} {wall[name]:8.1f} {cpu[name]:8.1f}")
def ratio(label, a, b, target=""):
    print(f"  {label:34s} wall {a[0] / b[0]:5.2f}  cpu {a[1] / b[1]:5.2f}  {target}")
def both(name):
    return wall[name], cpu[name]
ratio("sox / velto-convert", both("sox"), both("velto-convert"), "(target >= 1.2)")
ratio("ffmpeg / velto-convert", both("ffmpeg"), both("velto-convert"))
# Processes against a process (the same statistic, the same hyperfine session).
ratio("velto-convert / libmad decode-only", both("velto-convert"), both("libmad-decode-only"), "(target <= 1.10)")
ratio("velto-convert --two-step / libmad", both("velto-convert-two-step"), both("libmad-decode-only"), "(reference path)")
ratio("MakeToneDirect / libmad decode-only", both("BM_MakeToneDirect"), both("BM_MadDecodeOnly"), "(in-process)")
ratio("MakeTone (two-step) / libmad", both("BM_MakeTone"), both("BM_MadDecodeOnly"), "(in-process)")
ratio("ConvertingThread / MakeToneDirect", both("BM_ConvertingThread"), both("BM_MakeToneDirect"), "(target <= 1.10)")
PY

cmp -s "$work/velto.wav" "$work/velto2.wav" || { echo "convert_bench: the direct and two-step tones differ"; exit 1; }

# One hour: twenty copies of the 3-minute file (MP3 frames simply follow each other).
for _ in $(seq 20); do cat "$work/in.mp3"; done >"$work/hour.mp3"
/usr/bin/time -v "$convert" "$work/hour.mp3" "$work/hour.wav" 2>"$work/time.txt" >/dev/null
rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
echo "one hour: peak RSS ${rss} kB (target < 16384 kB), tone $(stat -c %s "$work/hour.wav") bytes"

# Alternating runs, so that a change in the machine's speed meets every command alike:
# velto-convert (ranges of frames on two threads when it may use two processors), ffmpeg,
# and velto-convert held to one processor (one pass, as before the ranges).
hour_runs=${HOUR_RUNS:-5}
cpu0=$(taskset -pc $$ | awk -F': ' '{print $2}' | cut -d, -f1 | cut -d- -f1)
: >"$work/hour.txt"
for _ in $(seq "$hour_runs"); do
  for name in velto ffmpeg velto-one-cpu; do
    case $name in
      velto) cmd=("$convert" "$work/hour.mp3" "$work/hour2.wav") ;;
      ffmpeg) cmd=(ffmpeg -loglevel error -y -i "$work/hour.mp3" -ac 1 -ar 16000 "$work/ffmpeg-hour.wav") ;;
      velto-one-cpu) cmd=(taskset -c "$cpu0" "$convert" "$work/hour.mp3" "$work/hour1.wav") ;;
    esac
    /usr/bin/time -f "$name %e %U %S" -a -o "$work/hour.txt" "${cmd[@]}" >/dev/null
  done
done
cmp -s "$work/hour.wav" "$work/hour1.wav" || { echo "convert_bench: the one-processor tone differs"; exit 1; }
python3 - "$work/hour.txt" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    name, wall, user, system = line.split()
    runs.setdefault(name, []).append((float(wall), float(user) + float(system)))
print(f"  one hour, {len(runs['velto'])} alternating runs (median s)   wall      cpu")
for name, values in runs.items():
    print(f"  {name:40s} {statistics.median(v[0] for v in values):7.2f}  {statistics.median(v[1] for v in values):7.2f}")
def pairs(a, b, i):
    return statistics.median(x[i] / y[i] for x, y in zip(runs[a], runs[b]))
print(f"  ffmpeg / velto-convert, wall, median of pairs    {pairs('ffmpeg', 'velto', 0):5.2f}  (target >= 1.2)")
print(f"  velto-convert / one processor, cpu, pairs        {pairs('velto', 'velto-one-cpu', 1):5.2f}  (what the ranges cost)")
PY
