#!/usr/bin/env bash
# Builds and signs a release for the official site. See scripts/release.py or --help.
set -euo pipefail
source "$(dirname "$0")/common.sh"
exec "$ZANVORO_PYTHON" "$ZANVORO_ROOT/scripts/release.py" "$@"
