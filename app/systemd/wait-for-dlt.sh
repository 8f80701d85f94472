#!/bin/sh
# Runs before the gateway under its unit, outside the unit's sandbox (ExecStartPre=+): the sandbox
# binds the DLT daemon's FIFO into the gateway's private /tmp only when the FIFO exists as the
# gateway starts, and Debian's dlt-daemon.service (Type=simple) counts as started before its
# daemon has made the FIFO, so After= alone loses that race now and then.
# Usage: wait-for-dlt [SECONDS]   (default 5; DLT_PIPE_DIR names the FIFO's folder, default /tmp)
# While systemd has a DLT daemon running or starting (or cannot tell), waits up to SECONDS for the
# FIFO; then the gateway starts in any case. Says on standard error (the journal) when it starts
# without the FIFO. Always exits 0.
set -u
seconds="${1:-5}"
case "$seconds" in
  '' | *[!0-9]*) seconds=5 ;;
esac
fifo="${DLT_PIPE_DIR:-/tmp}/dlt"

say() {
  echo "wait-for-dlt: $*" >&2
}

[ -p "$fifo" ] && exit 0
# A unit that systemd has as inactive, failed or stopping makes no FIFO; "inactive" is also its
# answer for a unit that is not installed.
state="$(systemctl is-active dlt-daemon.service 2>/dev/null)"
case "$state" in
  inactive | failed | deactivating)
    say "no DLT daemon runs or starts (dlt-daemon.service is $state); the gateway starts without DLT"
    exit 0
    ;;
esac
say "waiting up to $seconds s for the DLT daemon's FIFO $fifo"
tenths=$((seconds * 10))
while [ "$tenths" -gt 0 ]; do
  sleep 0.1
  [ -p "$fifo" ] && exit 0
  tenths=$((tenths - 1))
done
say "the DLT daemon's FIFO $fifo did not appear within $seconds s; the gateway starts without DLT," \
  "and reaches it only when started again once the FIFO is there"
exit 0
