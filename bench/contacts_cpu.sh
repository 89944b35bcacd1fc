#!/usr/bin/env bash
# Start-up cost against the size of the contact list. For each size (SIZES, default
# "1000 10000 50000") velto-scenario plays a start with that many contacts while PER_STEP
# contacts (default 1) change status every 100 ms for CHURN seconds (default 10): on the virtual clock
# the process's CPU time (user + system, GNU time) is the whole cost; in real time
# (REALTIME sizes, default "10000") the report tells how long after the grant the contact
# list settled.
# Needs: the release preset built (velto-scenario), GNU time, python3.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/release}
scenario=$build/bin/velto-scenario
[[ -x $scenario ]] || { echo "contacts_cpu: build the release preset first"; exit 1; }
churn=${CHURN:-10}
per_step=${PER_STEP:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_scenario() {  # SIZE FILE
  python3 - "$1" "$churn" "$per_step" >"$2" <<'PY'
import sys
size, churn, per_step = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
print('user velto.user "Vera Velto" Vera')
for i in range(size):
    print(f'contact c{i} "Contact Number {i}" C{i}')
print("at 0s")
for step in range(churn * 10):
    # Different contacts each time, spread over the list.
    for k in range(per_step):
        print(f"status c{((step * per_step + k) * 7919) % size} {'away' if step % 2 else 'online'}")
    print("wait 100ms")
PY
}

declare -A cpu
for size in ${SIZES:-1000 10000 50000}; do
  make_scenario "$size" "$work/$size.scn"
  /usr/bin/time -f "%U %S %M" -o "$work/time" "$scenario" --json --data "$work/data-$size" \
    "$work/$size.scn" >"$work/$size.json"
  read -r user sys rss <"$work/time"
  cpu[$size]=$(python3 -c "print($user + $sys)")
  echo "$size contacts, virtual clock: CPU ${cpu[$size]} s (user $user, system $sys), peak RSS $rss kB"
done
if [[ -n ${cpu[10000]:-} && -n ${cpu[50000]:-} ]]; then
  python3 -c "print(f'50,000 / 10,000 contacts: {${cpu[50000]} / ${cpu[10000]}:.2f}x CPU (goal <= 6)')"
fi

for size in ${REALTIME:-10000}; do
  make_scenario "$size" "$work/rt-$size.scn"
  "$scenario" --real-time --json --data "$work/rt-data-$size" "$work/rt-$size.scn" >"$work/rt-$size.json"
  python3 - "$work/rt-$size.json" "$size" "$per_step" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))
shown = r.get("contactListShownAtMs")
print(f"{sys.argv[2]} contacts, real time, {sys.argv[3]} status change(s) every 100 ms: contact list settled "
      + (f"{shown - r['attachedAtMs']} ms after the grant (goal <= 2000)" if shown is not None
         else "never"))
PY
done
