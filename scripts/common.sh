# Settings shared by run.sh, test.sh and the scripts they call. Source it; it runs nothing.

ZANVORO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZANVORO_BUILD="$ZANVORO_ROOT/build"
ZANVORO_NATIVE_BUILD="$ZANVORO_BUILD/native"
ZANVORO_WIN_BUILD="$ZANVORO_BUILD/win"
ZANVORO_EXE="$ZANVORO_WIN_BUILD/platform/win32/zanvoro.exe"
ZANVORO_PROBE="$ZANVORO_WIN_BUILD/e2e/probe/probe.exe"
# The tiny program the site offers as a newer version (self-update tests, run.sh's site).
ZANVORO_NEW_VERSION="$ZANVORO_WIN_BUILD/site/new_version/new_version.exe"

# The official site is served on loopback for running and testing; the exe is built for it.
ZANVORO_SITE_PORT="${ZANVORO_SITE_PORT:-18080}"  # another port keeps parallel runs apart
ZANVORO_SITE_HOST="127.0.0.1:$ZANVORO_SITE_PORT"

# Debian's interpreter: a pyenv shim first on PATH would lack python3-pil.
ZANVORO_PYTHON=/usr/bin/python3

ZANVORO_JOBS=2

# What building, running and testing need on Debian 12:
#   native tools and tests: build-essential cmake googletest python3 python3-pil
#   the exe: g++-mingw-w64-x86-64-posix; running it: wine fonts-wqy-microhei
#   headless runs and tests: xvfb imagemagick (screenshots) x11-utils
#   key and sound tests: xdotool pulseaudio pulseaudio-utils sox python3-numpy
#   the clips: espeak-ng, libebur128-1 (loudness; -dev for the clip tests), ffmpeg (recordings)
#   fuzz targets (libFuzzer): clang
#   signed updates: openssl (keys, signatures, the build's key), libssl-dev (native checks),
#   nginx-light (the release site in the end-to-end tests), osslsigncode (Authenticode signing of
#   releases and its check in the release tests)
#   a proxy between the program and the site in the end-to-end tests: tinyproxy
ZANVORO_PACKAGES=(
  build-essential cmake googletest g++-mingw-w64-x86-64-posix clang
  wine xvfb xdotool imagemagick fonts-wqy-microhei x11-utils
  pulseaudio pulseaudio-utils sox python3 python3-pil python3-numpy espeak-ng
  openssl libssl-dev nginx-light osslsigncode tinyproxy
  ffmpeg libebur128-1 libebur128-dev
)
