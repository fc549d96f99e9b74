#!/usr/bin/env bash
# Runs a command under xvfb-run on a free display. Picking a free display and starting the
# server can race with another X server starting or stopping on the machine; when the server
# itself fails to start, or the program cannot reach the display it was given (the server went
# away under a race for the display number), this tries again (three times) instead of failing
# the test for it.
#
#   with_xvfb.sh COMMAND [ARGS...]
set -uo pipefail
log=$(mktemp)   # the X server's own messages
errors=$(mktemp) # the command's and xvfb-run's messages
trap 'rm -f "$log" "$errors"' EXIT
for attempt in 1 2 3; do
    xvfb-run -a -e "$log" -s "-screen 0 1280x1024x24" "$@" 2>"$errors"
    status=$?
    cat "$errors" >&2
    if [ "$status" -ne 0 ] && grep -q -e 'Xvfb failed to start' -e 'could not connect to display' "$errors"; then
        echo "Xvfb did not start (attempt $attempt):" >&2
        cat "$log" >&2
        sleep 2
        continue
    fi
    exit "$status"
done
exit 1
