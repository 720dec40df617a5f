#!/usr/bin/env bash
# The print spooler test: starts CUPS if it is not running, installs a backend that keeps what
# it is sent and a queue on it, then runs the window's Print test once per situation:
#   1. the queue is the default printer: two presses give two one-page documents;
#   2. the default printer is stopped;    3. it rejects jobs;    4. a printer but no default;
#   5. no printer at all;    6. no print service (only when started here).
# Everything it set up is taken down again, whatever happens. Needs root.
#   print_spooler_test.sh <path to e2e_print_spooler_test>
set -uo pipefail
program="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export PATH="$PATH:/usr/sbin:/sbin"
queue=brimwell-e2e
backend_name=brimwell-capture
backend="/usr/lib/cups/backend/$backend_name"

if [[ $(id -u) -ne 0 ]]; then
  echo "print_spooler_test.sh: must run as root (it installs a CUPS backend and a queue)" >&2
  exit 1
fi
for tool in cupsd lpadmin lpstat cupsenable cupsdisable cupsaccept cupsreject cancel pdfinfo pdftotext pdftohtml pdffonts; do
  command -v "$tool" >/dev/null || { echo "print_spooler_test.sh: $tool is missing" >&2; exit 1; }
done
if lpstat -p "$queue" >/dev/null 2>&1; then
  echo "print_spooler_test.sh: a queue named $queue exists already; not touching it" >&2
  exit 1
fi

work="$(mktemp -d /var/spool/brimwell-e2e.XXXXXX)"
spool="$work/jobs"
mkdir -p "$spool" "$work/home" "$work/runtime"
chmod 0755 "$work" "$spool"
chmod 0700 "$work/runtime"
cupsd_pid=""
old_default=""
failures=0

scheduler_runs() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

remove_queue() {
  if lpstat -p "$queue" >/dev/null 2>&1; then
    cancel -a -x "$queue" 2>/dev/null
    lpadmin -x "$queue"
  fi
}

cleanup() {
  if scheduler_runs; then
    remove_queue
    [[ -z "$old_default" ]] || lpadmin -d "$old_default"
  fi
  rm -f "$backend"
  if [[ -n "$cupsd_pid" ]]; then
    kill "$cupsd_pid" 2>/dev/null
    wait "$cupsd_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

install -o root -g root -m 0700 "$here/brimwell-capture" "$backend"

if scheduler_runs; then
  echo "== using the print service that is already running"
  old_default="$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')"
else
  echo "== starting the print service"
  mkdir -p /run/cups
  cupsd -f >"$work/cupsd.log" 2>&1 &
  cupsd_pid=$!
  for _ in $(seq 1 100); do
    scheduler_runs && break
    sleep 0.2
  done
  if ! scheduler_runs; then
    echo "print_spooler_test.sh: cupsd did not start:" >&2
    cat "$work/cupsd.log" >&2
    exit 1
  fi
fi

# Runs the window test in one situation: printed, or refused with the reason given.
press_print() {
  local situation="$1" expect="$2" reason="${3:-}"
  echo "== $situation"
  if env HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
      BRIMWELL_E2E_EXPECT="$expect" BRIMWELL_E2E_REASON="$reason" BRIMWELL_E2E_SPOOL="$spool" \
      "$program" >"$work/out" 2>&1; then
    grep -E '^(PASS|SKIP|QINFO|Totals)' "$work/out" | grep -v -E 'initTestCase|cleanupTestCase'
  else
    cat "$work/out"
    echo "FAIL: $situation"
    failures=$((failures + 1))
  fi
}

add_queue() { lpadmin -p "$queue" -E -v "$backend_name:$spool" 2>&1 | grep -v -i deprecated; }

add_queue
lpadmin -d "$queue"
press_print "the queue is the default printer" printed
left="$(lpstat -o "$queue" 2>/dev/null)"
[[ -z "$left" ]] || { echo "FAIL: jobs left in the queue: $left"; failures=$((failures + 1)); }

cupsdisable "$queue"
press_print "the default printer is stopped" refused "the default printer $queue is stopped"
cupsenable "$queue"

cupsreject "$queue"
press_print "the default printer rejects jobs" refused "the printer $queue did not take the job: "
cupsaccept "$queue"

remove_queue
add_queue
press_print "a printer but no default" refused "no default printer is chosen (installed: $queue)"

remove_queue
press_print "no printer" refused "no printer is installed"

if [[ -n "$cupsd_pid" ]]; then
  kill "$cupsd_pid" && wait "$cupsd_pid" 2>/dev/null
  cupsd_pid=""
  press_print "no print service" refused "no printer is installed"
fi

echo "== $failures situation(s) failed"
exit $((failures > 0))
