#!/usr/bin/env bash
# Installs the Debian packages that building and testing Vistrel need. Installs only what is missing; safe to re-run.
#   scripts/install-deps.sh [--fuzz]   --fuzz: also clang and its libFuzzer runtime, for scripts/fuzz.sh
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config
  # libraries
  qt6-base-dev qt6-image-formats-plugins libgl-dev libqt6opengl6-dev libopencv-core-dev libopencv-imgproc-dev
  # the camera drivers: GStreamer with its base and good plug-ins (videotestsrc, appsrc, videoconvert, videoflip,
  # videobalance, v4l2src), and gst-inspect/gst-launch to check a camera by hand
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-tools
  # the JPEG decoder, to check that a file's data is whole before Qt decodes it
  libjpeg-dev
  # the report exports: Excel workbooks written with libxlsxwriter (printing uses Qt's print support)
  libxlsxwriter-dev
  # the USB foot switch, read through the kernel's raw HID devices
  libhidapi-dev
  # the surface plot draws with OpenGL and GLU; its tests render offscreen through EGL, or under Xvfb, with Mesa's
  # software renderer
  libglu1-mesa-dev libegl-dev libgl1-mesa-dri
  # tests and benchmarks (locales: a comma-decimal locale to prove numbers never follow it)
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth locales
  # the report export tests read the workbook back with openpyxl and the printed PDF's text with pdftotext
  python3-openpyxl poppler-utils
  # the install test: the desktop entry's validator and the MIME database it refreshes
  desktop-file-utils shared-mime-info
  # metric-compatible faces for "Arial" and "Tahoma", and Hangul
  fonts-liberation fonts-wine fonts-nanum fontconfig
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -ix 'de_DE.utf8' >/dev/null; then
  echo "Generating the de_DE.UTF-8 locale"
  "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
