#!/usr/bin/env bash
# Prints a two-page calculation from the command line to the private PDF
# queue (see cups-server.sh) and reads the PDF back: the header, the footer
# and the body. Then the failures: no default printer, a printer that does not
# exist, a file that cannot be read, and a queue that refuses the job.
#
#   print-from-command-line.sh PROGRAM DIR QUEUE
set -euo pipefail

program=${1:?the desktop program}
dir=${2:?the print system folder}
queue=${3:?the queue name}

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

[ -S "$dir/cups.sock" ] || fail "the private print system is not running (its start failed; see above)"
command -v pdftotext >/dev/null || fail "pdftotext is missing (Debian package poppler-utils)"
command -v iconv >/dev/null || fail "iconv is missing"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CUPS_SERVER=$dir/cups.sock
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A calculation file as the program writes it: UTF-16LE with a byte-order
# mark and CR LF line ends; 70 lines are two pages of 12 pt text.
calculation=$work/two-pages.vcl
{
  printf '\xff\xfe'
  for i in $(seq 70); do printf '%s*%s = %s; // line %s\r\n' "$i" "$i" $((i * i)) "$i"; done |
    iconv -f UTF-8 -t UTF-16LE
} >"$calculation"

# Waits for the queue to write one more PDF than there were before, and
# puts its text into $text.
pdfs_before=0
text=""
next_pdf_text() {
  local pdf=""
  # cups-pdf writes the file while the job runs: it is whole once the queue
  # has no job left that is not completed.
  for _ in $(seq 300); do
    [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break
    sleep 0.1
  done
  [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] || fail "the queue did not finish its job within 30 seconds: $(lpstat -o "$queue")"
  for _ in $(seq 300); do
    local count
    count=$(find "$dir/out" -name '*.pdf' | wc -l)
    if [ "$count" -gt "$pdfs_before" ]; then
      pdf=$(ls -t "$dir/out"/*.pdf | head -n 1)
      [ -s "$pdf" ] && pdftotext -layout "$pdf" - 2>/dev/null | grep -q . && break
    fi
    sleep 0.1
  done
  [ -n "$pdf" ] || fail "the queue wrote no PDF within 30 seconds; its log: $(tail -n 5 "$dir/log/error_log")"
  pdfs_before=$(find "$dir/out" -name '*.pdf' | wc -l)
  text=$(pdftotext -layout "$pdf" -)
}

expect_in() {  # TEXT WHAT...
  local text=$1
  shift
  for what in "$@"; do
    grep -qF -- "$what" <<<"$text" || fail "\"$what\" is not in the printed text:
$text"
  done
}

# /pt prints on the named queue and exits with 0.
"$program" /pt "$calculation" "$queue" "CUPS" "$queue" || fail "/pt ended with status $?"
next_pdf_text
expect_in "$text" " Calculator file two-pages.vcl" "1 of 2" "2 of 2" "1*1 = 1; // line 1" "70*70 = 4900; // line 70"
pages=$(grep -c $'\f' <<<"$text" || true)
[ "$pages" -eq 2 ] || fail "the calculation printed on $pages pages, not 2"
first_page=${text%%$'\f'*}
expect_in "$first_page" "1 of 2" "// line 1"
grep -qF "// line 70" <<<"$first_page" && fail "line 70 is on the first page"

# /p without a default printer says so and fails.
if "$program" /p "$calculation" 2>"$work/stderr"; then fail "/p without a default printer succeeded"; fi
grep -q "default printer" "$work/stderr" || fail "/p without a default printer said: $(cat "$work/stderr")"

# With the queue as the default, --print prints there.
lpadmin -d "$queue"
"$program" --print "$calculation" || fail "--print ended with status $?"
next_pdf_text
expect_in "$text" "Calculator file two-pages.vcl" "2 of 2"

# A printer that does not exist, a file that cannot be read.
if "$program" --print-to no-such-queue "$calculation" 2>"$work/stderr"; then fail "a missing printer printed"; fi
grep -q 'no printer "no-such-queue"' "$work/stderr" || fail "a missing printer said: $(cat "$work/stderr")"
if "$program" /pt "$work/missing.vcl" "$queue" CUPS "$queue" 2>"$work/stderr"; then fail "a missing file printed"; fi
grep -q "Cannot open the file for reading" "$work/stderr" || fail "a missing file said: $(cat "$work/stderr")"

# A queue that refuses jobs: the refusal is reported, not a success.
cupsreject "$queue"
status=0
"$program" /pt "$calculation" "$queue" CUPS "$queue" 2>"$work/stderr" || status=$?
cupsaccept "$queue"
[ "$status" -ne 0 ] || fail "a refused job was reported as printed"
grep -q "Could not start print job." "$work/stderr" || fail "a refused job said: $(cat "$work/stderr")"

echo "printed from the command line: /pt, --print; failures reported"
