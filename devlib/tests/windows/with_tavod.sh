#!/usr/bin/env bash
# SPDX-License-Identifier: LGPL-2.1-or-later
# with_tavod.sh TAVOD COMMAND...: runs COMMAND (a Windows program under
# Wine) with TAVO32_SERVER and TAVO32_SECRET_FILE naming a Linux tavod that
# serves the built-in bench on a free TCP port of 127.0.0.1, then stops it.
set -euo pipefail
tavod=$1
shift
work=$(mktemp -d)
head -c 32 /dev/urandom | base64 >"$work/secret"
"$tavod" --foreground --backend sim --listen tcp:127.0.0.1:0 --secret-file "$work/secret" \
    2>"$work/log" &
pid=$!
# Set only now: the server's own process must not inherit it.
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
port=""
for _ in $(seq 1 100); do
    port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/log")
    [[ -n "$port" ]] && break
    sleep 0.05
done
[[ -n "$port" ]] || { cat "$work/log" >&2; echo "tavod did not start" >&2; exit 1; }
# Wine shows the Linux file system as drive Z:.
status=0
TAVO32_SERVER=127.0.0.1:$port TAVO32_SECRET_FILE="Z:$work/secret" "$@" || status=$?
if ((status != 0)); then cat "$work/log" >&2; fi
exit $status
