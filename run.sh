#!/usr/bin/env bash
# Runs Zanvoro under Wine: installs and builds what is missing, serves the site on loopback and
# starts the exe (on $DISPLAY, or headless with a screenshot when there is none).
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

"$ZANVORO_ROOT/scripts/install-deps.sh"
"$ZANVORO_ROOT/scripts/build.sh"

exec "$ZANVORO_PYTHON" "$ZANVORO_ROOT/scripts/run_program.py" \
  --exe "$ZANVORO_EXE" --probe "$ZANVORO_PROBE" --port "$ZANVORO_SITE_PORT" \
  --new-version "$ZANVORO_NEW_VERSION"
