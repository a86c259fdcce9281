#!/bin/bash
# Retakes the handbook's screenshots from the program itself, running against
# the simulated instrument on a virtual screen. Needs xvfb-run, xdotool,
# ImageMagick's import and poppler's pdftoppm; takes about a minute (it
# records for 40 seconds).
#
#   tools/handbook/take_screenshots.sh BUILD_DIR [OUTPUT_DIR]
#
# OUTPUT_DIR defaults to resources/manual. The virtual screen has no window
# manager, so windows are captured without title bars, and the menus are
# worked from the keyboard, which does not depend on where a skin puts
# things: Alt and the menu's letter opens a menu on its first enabled item,
# Down moves to the next enabled one.
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
  build=$2
  out=$3
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # The program runs from a folder of its own, so it starts from the default
  # settings and writes its SysSet.ini there, not into the build tree.
  cp "$build/qzr6100" "$work/"
  for data in PdfDoc SkinsFile PenData; do
    [ -d "$build/$data" ] && ln -s "$build/$data" "$work/$data"
  done
  # Record a sample a second, six different quantities.
  printf '[RecordSet]\nCh0=0\nCh1=1\nCh2=2\nCh3=3\nCh4=7\nCh5=6\nSampingSetp=0\nSaveSetp=0\n' >"$work/SysSet.ini"
  export ASAN_OPTIONS=detect_leaks=0 HOME="$work"

  pid=""
  # The first visible window of the program whose title matches the regular
  # expression, waiting up to 10 s for it. Titles are compared here rather
  # than by xdotool, which cannot read titles outside Latin-1 (such as the
  # ones the program gives with a dash before its name).
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
  shoot() { import -window "$1" "$out/$2"; echo "  $2"; }
  # Presses a key in a window (there is no window manager to give it focus).
  key_in() { xdotool windowfocus "$1"; sleep 0.3; xdotool key "$2"; sleep 0.6; }
  # menu WINDOW LETTER DOWNS [WAIT]: opens the menu, moves down, chooses.
  menu() {
    xdotool windowfocus "$1"; sleep 0.3
    xdotool key "alt+$2"; sleep 0.6
    for _ in $(seq 1 "$3"); do xdotool key Down; sleep 0.2; done
    xdotool key Return; sleep "${4:-1.5}"
  }

  "$work/qzr6100" --simulate &
  pid=$!
  window_of '^QZR6100$' >/dev/null
  # Give the start-up picture time to go and the first reply time to come.
  sleep 3
  main=$(window_of '^QZR6100$')

  # Options (O) > Program communication settings, then Style.
  menu "$main" o 0
  comm=$(window_of 'Program communication settings')
  shoot "$comm" comm_settings.png
  key_in "$comm" Escape
  menu "$main" o 1
  style=$(window_of '^ Style ')
  shoot "$style" style_dialog.png
  key_in "$style" Escape
  # Options (O) > Instrument settings, filled by the read at start-up.
  menu "$main" o 2
  instrument=$(window_of '^Instrument settings')
  shoot "$instrument" instrument_settings.png
  key_in "$instrument" Escape
  # Options (O) > Alarm limits, which reads the limits as it opens.
  menu "$main" o 3 2
  alarm=$(window_of '^报警值设定')
  shoot "$alarm" alarm_limits.png
  key_in "$alarm" Escape

  # Operating (P) > Starting Test, while nothing is sampled (a test is
  # refused during sampling). "Starting" has the focus; Yes confirms, and
  # the simulated instrument triggers at once and sends its six blocks.
  menu "$main" p 2
  starting=$(window_of '^启动测试')
  key_in "$starting" space
  xdotool key alt+y
  sleep 3
  shoot "$starting" starting_test.png
  key_in "$starting" Escape

  # Operating (P) > Continuous sampling, then the main window with live data.
  menu "$main" p 1 5
  shoot "$main" main_window.png

  # Operating (P) > Harmonic Reports: while sampling runs, the menu's first
  # enabled item is Stop, then Starting Test, Harmonic Reports and Record.
  menu "$main" p 2 2.5
  harmonic=$(window_of 'Harmonic Report')
  shoot "$harmonic" harmonic_table.png
  key_in "$harmonic" Escape

  # Help (H) > Version.
  menu "$main" h 0
  version=$(window_of '^Version( |$)')
  shoot "$version" version_window.png
  key_in "$version" Return

  # Operating (P) > Record; its settings; a new record file; 40 s of recording.
  menu "$main" p 3 2
  record=$(window_of '^Record [^S]')
  menu "$record" o 0
  settings=$(window_of '^Record Seting( |$)')
  shoot "$settings" record_settings.png
  key_in "$settings" Escape
  menu "$record" f 1 2
  xdotool type --delay 20 "$work/Demo.vqr"
  xdotool key Return
  sleep 1.5
  menu "$record" r 0 40
  shoot "$record" record_window.png
  menu "$record" r 1 1

  # The reports: each is saved as PDF ("Save as PDF" follows the Print
  # button, which has the focus when the window opens) and the saved page
  # becomes a picture. First the record report, from the record window's
  # File (F) > Print (Open, New, the two exports, Print).
  save_report() {  # REPORT_WINDOW PDF_PATH
    key_in "$1" Tab
    xdotool key Return; sleep 1.5
    xdotool type --delay 20 "$2"
    xdotool key Return; sleep 2
  }
  menu "$record" f 4 2
  report=$(window_of '^PrinterForm')
  save_report "$report" "$work/RecordReport.pdf"
  key_in "$report" Escape
  # Then the power report of the running measurement, from File (F) > Print,
  # and its report information ("Environmental data", the button after
  # "Save as PDF").
  menu "$main" f 2 2
  report=$(window_of '^PrinterForm')
  shoot "$report" report_window.png
  save_report "$report" "$work/PowerReport.pdf"
  key_in "$report" Tab
  xdotool key Return; sleep 1.5
  info=$(window_of '^Enter the print information')
  shoot "$info" report_information.png
  key_in "$info" Escape
  key_in "$report" Escape
  # The pages with a thin edge, so that they stand out as sheets of paper.
  for page in PowerReport:power_report_page RecordReport:record_report_page; do
    pdftoppm -png -r 60 -singlefile "$work/${page%%:*}.pdf" "$out/${page#*:}"
    convert "$out/${page#*:}.png" -bordercolor gray60 -border 1 "$out/${page#*:}.png"
  done
  echo "  power_report_page.png record_report_page.png"

  # Operating (P) > Stop, and end.
  menu "$main" p 0 1
  kill "$pid"; wait "$pid" 2>/dev/null || true

  # Once more in English (--language en), for the alarm limits window.
  "$work/qzr6100" --simulate --language en &
  pid=$!
  window_of '^QZR6100$' >/dev/null
  sleep 3
  main=$(window_of '^QZR6100$')
  menu "$main" o 3 2
  alarm=$(window_of '^Alarm limits')
  shoot "$alarm" alarm_limits_en.png
  key_in "$alarm" Escape
  kill "$pid"; wait "$pid" 2>/dev/null || true
  exit 0
fi

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: take_screenshots.sh BUILD_DIR [OUTPUT_DIR]}" && pwd)
out=$(cd "${2:-$root/resources/manual}" && pwd)
echo "Taking screenshots into $out"
xvfb-run -a -s "-screen 0 1280x800x24" "$0" --inside "$build" "$out"
