#!/bin/sh
# Stands in for the web browser inside the test prefix: records each link the program opens
# instead of starting a browser, so tests can see which page a control opened.
if [ -n "$ZANVORO_URL_LOG" ]; then
  printf '%s\n' "$@" >> "$ZANVORO_URL_LOG"
fi
exit 0
