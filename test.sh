#!/usr/bin/env bash
# Installs what is missing, builds both trees and runs every test (unit and end-to-end) with CTest.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

"$ZANVORO_ROOT/scripts/install-deps.sh"
"$ZANVORO_ROOT/scripts/build.sh"

cd "$ZANVORO_NATIVE_BUILD"
# The end-to-end tests share one Wine prefix and the site's port: RESOURCE_LOCK keeps them in
# turn while unit tests use the second core. On a virtual machine whose processor time the host
# takes away now and then, a recording can get gaps that no program made: a test that fails is
# run once more, and a fault of the program fails both times.
exec ctest --output-on-failure --repeat until-pass:2 -j "$ZANVORO_JOBS"
