#!/usr/bin/env bash
# A private print system for the printing tests: its own cupsd with its own
# configuration, spool and socket (never the system's), and one PDF queue
# through the cups-pdf backend writing into a folder of its own.
#
#   cups-server.sh start DIR QUEUE   start cupsd in DIR and add QUEUE
#   cups-server.sh stop DIR QUEUE    stop that cupsd and remove what start made
#
# Clients reach it with CUPS_SERVER=DIR/cups.sock; the queue's PDF files land
# in DIR/out. When something it needs is missing, start says what and fails.
set -euo pipefail

action=${1:?start or stop}
dir=${2:?the server folder}
queue=${3:?the queue name}
# cups-pdf reads the configuration of a queue from this fixed place; the
# queue's name is unique to the build, so the file is its own.
backend_conf=/etc/cups/cups-pdf-$queue.conf

started=0
fail() {
  echo "private print system: $*" >&2
  # A start that fails half-way leaves nothing running.
  [ "$started" -eq 1 ] && stop
  exit 1
}

stop() {
  if [ -f "$dir/cupsd.pid" ]; then
    pid=$(cat "$dir/cupsd.pid")
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid"
      for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
      kill -0 "$pid" 2>/dev/null && kill -9 "$pid"
    fi
    rm -f "$dir/cupsd.pid"
  fi
  rm -f "$backend_conf"
}

start() {
  for tool in cupsd lpadmin lpstat cupsreject cupsaccept pdftotext pdftocairo; do
    command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] ||
      fail "$tool is missing (Debian packages cups, cups-client, cups-bsd, poppler-utils)"
  done
  local cupsd=cupsd
  command -v cupsd >/dev/null 2>&1 || cupsd=/usr/sbin/cupsd
  [ -x /usr/lib/cups/backend/cups-pdf ] || fail "the cups-pdf backend is missing (Debian package printer-driver-cups-pdf)"
  local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  [ -f "$ppd" ] || fail "$ppd is missing (Debian package printer-driver-cups-pdf)"
  [ "$(id -u)" -eq 0 ] || fail "cups-pdf runs as root and reads $backend_conf: run the tests as root"

  stop
  rm -rf "$dir"
  mkdir -p "$dir"/{etc/ppd,spool/tmp,cache,state,log,out,backend-spool}
  chmod 755 "$dir" "$dir"/{etc,log,out}

  cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
Printcap $dir/state/printcap
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
FileDevice No
SystemGroup root
EOF
  cat >"$dir/etc/cupsd.conf" <<EOF
Listen $dir/cups.sock
Browsing No
WebInterface No
LogLevel info
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
  # cupsd in the foreground of a process of its own, with no terminal and no
  # pipe of the test runner held open.
  setsid "$cupsd" -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
    </dev/null >"$dir/log/cupsd.out" 2>&1 &
  echo $! >"$dir/cupsd.pid"
  started=1

  export CUPS_SERVER=$dir/cups.sock
  for _ in $(seq 100); do
    lpstat -r >/dev/null 2>&1 && break
    kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null || fail "cupsd ended at once: $(cat "$dir/log/cupsd.out")"
    sleep 0.1
  done
  lpstat -r >/dev/null 2>&1 || fail "cupsd does not answer on $CUPS_SERVER"

  cat >"$backend_conf" <<EOF
Out $dir/out
AnonDirName $dir/out
Spool $dir/backend-spool
Log $dir/log
LogType 3
EOF
  # pdftocairo keeps the text of the job readable in the PDF cups-pdf writes.
  lpadmin -p "$queue" -v "cups-pdf:/$queue" -P "$ppd" -E -D "Calculator Tevra test queue" \
    -L "Tevra test room" -o pdftops-renderer-default=pdftocairo 2>"$dir/log/lpadmin.err" ||
    fail "cannot add the queue: $(cat "$dir/log/lpadmin.err")"
  lpstat -p "$queue" >/dev/null 2>&1 || fail "the queue $queue is not there"
}

case $action in
start) start ;;
stop) stop; rm -rf "$dir" ;;
*) fail "unknown action $action" ;;
esac
