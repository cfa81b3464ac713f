#!/usr/bin/env bash
# Starts and stops the throw-away services the tests use: a PostgreSQL server
# on a free loopback port (reached through ODBC) and CUPS with a cups-pdf queue.
# Usage: source tools/services.sh; services_start DIR; ...; services_stop
set -u

_free_port() {
  local port
  for port in $(seq 54320 54400); do
    if ! (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; then echo "$port"; return 0; fi
  done
  return 1
}

_as_pg() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

services_start() {
  local dir=$1
  SERVICES_DIR=$dir
  mkdir -p "$dir"
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
  local port
  port=$(_free_port)
  local pgdata="$dir/pgdata"
  mkdir -p "$pgdata" "$dir/pgsock"
  [ "$(id -u)" -eq 0 ] && chown -R postgres "$dir/pgdata" "$dir/pgsock" && chmod 755 "$dir"
  _as_pg "$bin/initdb" -D "$pgdata" -U postgres --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log"; return 1; }
  _as_pg "$bin/pg_ctl" -D "$pgdata" -l "$dir/pgsock/pg.log" -w -t 30 \
    -o "-p $port -k $dir/pgsock -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null ||
    { cat "$dir/pgsock/pg.log"; return 1; }
  PG_CTL_STOP="_as_pg $bin/pg_ctl -D $pgdata -m fast stop"
  _as_pg "$bin/psql" -h 127.0.0.1 -p "$port" -U postgres -qc "CREATE DATABASE survey_test" >/dev/null
  cat >"$dir/odbc.ini" <<INI
[SurveyTestPG]
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$port
Database=survey_test
Username=postgres
Password=
UseServerSidePrepare=1
INI
  export ODBCINI="$dir/odbc.ini"
  export SURVEY_TEST_PG_DSN=SurveyTestPG
  export SURVEY_TEST_PG_PORT=$port

  # CUPS with a PDF queue; cups-pdf writes its files below the output folder.
  if command -v cupsd >/dev/null && [ "$(id -u)" -eq 0 ]; then
    if ! lpstat -r 2>/dev/null | grep -q "is running"; then
      mkdir -p /run/cups
      cupsd >/dev/null 2>&1 && CUPS_STARTED=1
      for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.1; done
    fi
    if ! lpstat -p PDF >/dev/null 2>&1; then
      lpadmin -p PDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null || true
    fi
    cupsenable PDF 2>/dev/null || true
    cupsaccept PDF 2>/dev/null || true
    export SURVEY_TEST_CUPS_QUEUE=PDF
    local out
    out=$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n1)
    out=${out//\${HOME\}/$HOME}
    export SURVEY_TEST_CUPS_OUT=${out:-/var/spool/cups-pdf}
  fi
}

services_stop() {
  [ -n "${PG_CTL_STOP:-}" ] && $PG_CTL_STOP >/dev/null 2>&1
  PG_CTL_STOP=""
  if [ -n "${CUPS_STARTED:-}" ]; then
    pkill -x cupsd 2>/dev/null || true
    CUPS_STARTED=""
  fi
  [ -n "${SERVICES_DIR:-}" ] && rm -rf "$SERVICES_DIR"
  SERVICES_DIR=""
}
