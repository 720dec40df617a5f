#!/usr/bin/env bash
# The print spooler test. Starts a CUPS scheduler of its own, in a temporary folder that holds
# its configuration, spool, cache, state, logs and the socket it listens on, and points the
# test at it through CUPS_SERVER: the machine's printers, default printer and print service are
# neither used nor changed. Its one queue hands every job to a backend that keeps it in a
# folder. The window's Print test then runs once per situation:
#   the queue is the default printer (the page arrives and shows the report);
#   the scheduler stops when the job comes and goes on after the window's bound (the page the
#   pilot was told was not printed never prints; Print again brings one page);
#   the job is cancelled as the window releases it, its document sent (the spooler refuses the
#   release: not printed);
#   the default printer is stopped; it rejects jobs; no printer; a printer but no default; no
#   print service.
#   print_spooler_test.sh <path to e2e_print_spooler_test>
set -uo pipefail
program="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export PATH="$PATH:/usr/sbin:/sbin"
for tool in cupsd lpadmin lpstat cupsenable cupsdisable cupsaccept cupsreject cancel pdftotext; do
  command -v "$tool" >/dev/null || { echo "print_spooler_test.sh: $tool is missing" >&2; exit 1; }
done

work="$(mktemp -d)"
chmod 0755 "$work"
cupsd_pid=""
cleanup() {
  [[ -z "$cupsd_pid" ]] || { kill "$cupsd_pid" 2>/dev/null; wait "$cupsd_pid" 2>/dev/null; }
  rm -rf "$work"
}
trap cleanup EXIT

# The scheduler's own folders; its programs are the system's, but for the backend, which is ours.
mkdir -p "$work"/{etc,spool,cache,state,log,tmp,jobs,home,bin/backend}
for part in daemon filter cgi-bin notifier monitor; do
  [[ ! -e "/usr/lib/cups/$part" ]] || ln -s "/usr/lib/cups/$part" "$work/bin/$part"
done
install -m 0700 "$here/brimwell-capture" "$work/bin/backend/brimwell-capture"
cat >"$work/etc/cups-files.conf" <<EOF
ServerRoot $work/etc
ServerBin $work/bin
RequestRoot $work/spool
CacheDir $work/cache
StateDir $work/state
TempDir $work/tmp
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
Printcap $work/printcap
EOF
cat >"$work/etc/cupsd.conf" <<EOF
Listen $work/cups.sock
Browsing No
WebInterface No
LogLevel info
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

# Everything below reaches the test's scheduler only: no client.conf, lpoptions or printer
# variable of the machine or the user comes into it.
export CUPS_SERVER="$work/cups.sock" CUPS_SERVERROOT="$work/etc" HOME="$work/home"
unset PRINTER LPDEST
cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" 2>"$work/log/cupsd" &
cupsd_pid=$!
for _ in $(seq 1 100); do
  lpstat -r 2>/dev/null | grep -q 'scheduler is running' && break
  sleep 0.1
done
lpstat -r | grep -q 'scheduler is running' || { cat "$work"/log/*; exit 1; }

queue=brimwell-e2e
failures=0
add_queue() { lpadmin -p "$queue" -E -v "brimwell-capture:$work/jobs" 2>&1 | grep -v -i deprecated; }
# Runs the test in one situation: BRIMWELL_E2E_JOBS or BRIMWELL_E2E_REASON=<why not printed>.
press_print() {
  local situation="$1"
  shift
  echo "== $situation"
  if env QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=default.warning=false \
    XDG_RUNTIME_DIR="$work/tmp" "$@" "$program" >"$work/out" 2>&1; then
    grep -E "^(PASS|Totals)" "$work/out" | grep -v -E "initTestCase|cleanupTestCase"
  else
    cat "$work/out"
    echo "FAIL: $situation"
    failures=$((failures + 1))
  fi
  kill -CONT "$cupsd_pid" # in case the test stopped it and failed
  for _ in $(seq 1 50); do
    [[ -n "$(lpstat -o 2>/dev/null)" ]] || break
    sleep 0.1
  done
  if [[ -n "$(lpstat -o 2>/dev/null)" ]]; then
    echo "FAIL: $situation: jobs left in the queue: $(lpstat -o)"
    failures=$((failures + 1))
  fi
}

add_queue
lpadmin -d "$queue"
press_print "the queue is the default printer" BRIMWELL_E2E_JOBS="$work/jobs"

rm -f "$work"/jobs/job-*.prn
press_print "the scheduler stops when the job comes, and goes on after the bound" \
  BRIMWELL_E2E_JOBS="$work/jobs" BRIMWELL_E2E_STOP="$cupsd_pid"

press_print "the job is cancelled as it is released" BRIMWELL_E2E_CANCEL="$queue" \
  BRIMWELL_E2E_REASON="the printer $queue did not take the job: "

cupsdisable "$queue"
press_print "the default printer is stopped" \
  BRIMWELL_E2E_REASON="the default printer $queue is stopped"
cupsenable "$queue"

cupsreject "$queue"
press_print "the default printer rejects jobs" \
  BRIMWELL_E2E_REASON="the printer $queue did not take the job: "
cupsaccept "$queue"

lpadmin -x "$queue"
press_print "no printer" \
  BRIMWELL_E2E_REASON="no printer is installed, or the print service is not running"
add_queue
press_print "a printer but no default" \
  BRIMWELL_E2E_REASON="no default printer is chosen (installed: $queue)"

press_print "no print service" CUPS_SERVER="$work/none.sock" \
  BRIMWELL_E2E_REASON="no printer is installed, or the print service is not running"

echo "== $failures situation(s) failed"
exit $((failures > 0))
