#!/usr/bin/env bash
# Configures and builds both trees: the Windows exe and the probe (build/win), then the native
# tools and tests (build/native), which learn where the exe and the probe are. Incremental:
# a second run only rebuilds what changed.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ZANVORO_ROOT"

cmake -S . -B "$ZANVORO_WIN_BUILD" \
  -DCMAKE_TOOLCHAIN_FILE="$ZANVORO_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DZANVORO_SITE_HOST="$ZANVORO_SITE_HOST"
cmake --build "$ZANVORO_WIN_BUILD" -j "$ZANVORO_JOBS"

cmake -S . -B "$ZANVORO_NATIVE_BUILD" \
  -DZANVORO_SITE_HOST="$ZANVORO_SITE_HOST" \
  -DZANVORO_WIN_EXE="$ZANVORO_EXE" \
  -DZANVORO_PROBE_EXE="$ZANVORO_PROBE" \
  -DZANVORO_NEW_VERSION_EXE="$ZANVORO_NEW_VERSION"
cmake --build "$ZANVORO_NATIVE_BUILD" -j "$ZANVORO_JOBS"
