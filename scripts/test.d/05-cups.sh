# A CUPS-PDF print queue for the printing tests: starts cupsd when it is not
# running and adds the queue PravelPDF, the default when there is none.
# With CI=true a queue that cannot be set up fails the step; elsewhere the
# printing tests then skip.
set -euo pipefail
queue=${PRAVEL_CUPS_QUEUE:-PravelPDF}

give_up() {
  echo "05-cups: $1"
  if [[ ${CI:-} == true ]]; then exit 1; fi
  echo "05-cups: the printing tests will skip"
  exit 0
}

running() { LC_ALL=C lpstat -r 2>/dev/null | grep -q "scheduler is running"; }

command -v cupsd >/dev/null || give_up "cupsd is not installed"
if ! running; then
  [[ -d /run/cups ]] || install -d -m 0755 /run/cups 2>/dev/null || true
  cupsd 2>&1 || give_up "cupsd cannot start"
  for _ in $(seq 50); do
    running && break
    sleep 0.2
  done
  running || give_up "cupsd started but does not answer"
fi

if ! lpstat -v "$queue" >/dev/null 2>&1; then
  model=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt/ {print $1; exit}')
  [[ -n $model ]] || model=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF/ {print $1; exit}')
  [[ -n $model ]] || give_up "no CUPS-PDF driver (package printer-driver-cups-pdf)"
  lpadmin -p "$queue" -E -v cups-pdf:/ -m "$model" 2>&1 | grep -v "deprecated" || true
  lpstat -v "$queue" >/dev/null 2>&1 || give_up "the queue $queue cannot be added"
fi
cupsenable "$queue" 2>/dev/null || true
cupsaccept "$queue" 2>/dev/null || true
if LC_ALL=C lpstat -d 2>/dev/null | grep -q "no system default"; then
  lpadmin -d "$queue" 2>/dev/null || true
fi
echo "05-cups: $(LC_ALL=C lpstat -v "$queue")"
