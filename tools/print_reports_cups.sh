#!/bin/bash
# Prints both reports through the program's own print path to a real CUPS
# queue and checks what comes out. Not part of the test suite: it starts a
# private CUPS server (its own configuration, spool and socket under a
# temporary folder, nothing of the machine's CUPS is touched) with one PDF
# queue made by cups-pdf as the default printer, runs the program against
# the simulated instrument on a virtual screen, and there, as a user would:
# continuous sampling, File (F) > Print and the report window's Print button for
# the power report, then the record window's File (F) > Print and Print for
# the record report. Each job must keep its title ("2TestReport" for the
# project "2" of a first start, "RecordReport") and give a PDF of one page.
#
#   tools/print_reports_cups.sh BUILD_DIR
#
# Needs root (the cups-pdf backend runs as root) and the Debian packages
# cups, printer-driver-cups-pdf, xdotool, xvfb and poppler-utils; missing
# ones are installed.
set -euo pipefail

queue=QZReports

if [ "${1:-}" = "--inside" ]; then
  build=$2
  work=$3
  export HOME="$work/home" ASAN_OPTIONS=detect_leaks=0
  mkdir -p "$HOME"
  cp "$build/qzr6100" "$HOME/"
  for data in PdfDoc SkinsFile PenData; do
    [ -d "$build/$data" ] && ln -s "$build/$data" "$HOME/$data"
  done
  pid=""
  window_of() {
    local id=""
    for _ in $(seq 1 100); do
      for candidate in $(xdotool search --onlyvisible --classname qzr6100 2>/dev/null || true); do
        if [[ "$(xdotool getwindowname "$candidate" 2>/dev/null)" =~ $1 ]]; then
          id=$candidate
          break
        fi
      done
      [ -n "$id" ] && break
      sleep 0.1
    done
    [ -n "$id" ] || { echo "no window named $1" >&2; kill "$pid"; exit 1; }
    echo "$id"
  }
  key_in() { xdotool windowfocus "$1"; sleep 0.3; xdotool key "$2"; sleep 0.6; }
  menu() {
    xdotool windowfocus "$1"; sleep 0.3
    xdotool key "alt+$2"; sleep 0.6
    for _ in $(seq 1 "$3"); do xdotool key Down; sleep 0.2; done
    xdotool key Return; sleep "${4:-1.5}"
  }

  "$HOME/qzr6100" --simulate >"$work/program.log" 2>&1 &
  pid=$!
  window_of '^QZR6100$' >/dev/null
  sleep 3
  main=$(window_of '^QZR6100$')
  # Operating (P) > Continuous sampling, then File (F) > Print; the report
  # window opens with the focus on its Print button.
  menu "$main" p 1 3
  menu "$main" f 2 2
  report=$(window_of '^PrinterForm')
  key_in "$report" Return
  sleep 2
  key_in "$report" Escape
  # Operating (P) > Record (while sampling, the menu's first enabled item is
  # Stop, then Starting Test, Harmonic Reports and Record), its File (F) >
  # Print (Open, New, the two exports, Print), and Print.
  menu "$main" p 3 2
  record=$(window_of '^Record [^S]')
  menu "$record" f 4 2
  report=$(window_of '^PrinterForm')
  key_in "$report" Return
  sleep 2
  key_in "$report" Escape
  kill "$pid"; wait "$pid" 2>/dev/null || true
  exit 0
fi

build=$(cd "${1:?usage: print_reports_cups.sh BUILD_DIR}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$build/qzr6100" ] || { echo "no program in $build" >&2; exit 1; }

missing=()
for p in cups printer-driver-cups-pdf xdotool xvfb xauth poppler-utils; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d /tmp/qz-cups.XXXXXX)
chmod 755 "$work"
queue_conf=/etc/cups/cups-pdf-$queue.conf
cupsd_pid=""
cleanup() {
  [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
  rm -f "$queue_conf"
  rm -rf "$work"
}
trap cleanup EXIT

# The private server: everything under $work, listening on a socket only.
mkdir -p "$work/etc/ppd" "$work/spool/tmp" "$work/cache" "$work/run" "$work/log" "$work/out" "$work/cups-pdf-spool"
chgrp lp "$work/spool" "$work/spool/tmp" "$work/cache"
chmod 0710 "$work/spool"
chmod 1770 "$work/spool/tmp"
chmod 0770 "$work/cache"
socket=$work/cups.sock
cat >"$work/etc/cupsd.conf" <<EOF
Listen $socket
LogLevel info
Browsing Off
WebInterface No
DefaultAuthType None
PreserveJobHistory Yes
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$work/etc/cups-files.conf" <<EOF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/run
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
EOF
# cups-pdf reads the configuration named after its device (cups-pdf:/NAME):
# this queue writes into $work/out, named after the job's title.
cat >"$queue_conf" <<EOF
Out $work/out
Spool $work/cups-pdf-spool
TitlePref 1
Label 0
Grp root
EOF

cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" &
cupsd_pid=$!
for _ in $(seq 1 50); do [ -S "$socket" ] && break; sleep 0.2; done
[ -S "$socket" ] || { echo "the private CUPS server did not start" >&2; cat "$work/log/error_log" >&2 || true; exit 1; }
export CUPS_SERVER=$socket
lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
lpadmin -d "$queue"
echo "Private CUPS server on $socket, default queue: $(lpstat -d)"

xvfb-run -a -s "-screen 0 1600x1000x24" "$0" --inside "$build" "$work"

# Wait for both jobs to leave the queue.
for _ in $(seq 1 120); do
  [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && [ "$(find "$work/out" -name '*.pdf' | wc -l)" -ge 2 ] && break
  sleep 0.5
done

status=0
echo "Completed jobs:"
lpstat -W completed -o "$queue" || true
for title in 2TestReport RecordReport; do
  # The job's title as the server keeps it (job-name in the control file).
  if grep -aqs "$title" "$work"/spool/c*; then
    echo "  job title \"$title\": kept by the server"
  else
    echo "  job title \"$title\": NOT FOUND among the server's jobs"; status=1
  fi
  pdf=$(find "$work/out" -name "*$title*.pdf" | head -n1)
  if [ -z "$pdf" ]; then
    echo "  $title: no PDF came out of the queue"; status=1
    continue
  fi
  pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
  size=$(pdfinfo "$pdf" | sed -n 's/^Page size: *//p')
  echo "  $title: $(basename "$pdf"), $pages page(s), $size"
  [ "$pages" = 1 ] || status=1
  cp "$pdf" "/tmp/$title-cups.pdf"
done
if [ $status -ne 0 ]; then
  echo "--- server log ---"; tail -n 30 "$work/log/error_log" || true
  echo "--- program log ---"; tail -n 20 "$work/program.log" || true
  echo "FAILED"
  exit 1
fi
echo "Both reports printed through CUPS (copies in /tmp/2TestReport-cups.pdf and /tmp/RecordReport-cups.pdf)."
