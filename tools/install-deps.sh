#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Safe to run again: packages already present are left alone, and the package
# lists are refreshed only when something is missing.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config ninja-build
  # libraries linked into the program
  libmad0-dev libsdl2-dev libvorbisidec-dev libogg-dev libgsm1-dev libflac-dev libopusfile-dev
  # https streams
  libssl-dev
  # zipped skins
  libzip-dev
  # the desktop's media-player interface on the session bus (sd-bus)
  libsystemd-dev
  # drawing: text through SDL_ttf, its fonts (DejaVu, WenQuanYi for CJK), PNG screenshots
  libsdl2-ttf-dev fonts-dejavu-core fonts-wqy-microhei libpng-dev
  # dialogs, menus and message boxes
  libimgui-dev
  # tests and benchmarks
  googletest libgtest-dev libbenchmark-dev
  # fixtures and reference decoders, used only by the tests
  lame sox ffmpeg mpg123 madplay vorbis-tools
  # a private session bus and a real media-player client for the desktop-bus tests
  dbus-daemon playerctl
  # the player in a real window on a virtual display
  xvfb xauth xdotool imagemagick
  # installing: the desktop icons (PNG through zlib) and the check of the desktop entry
  zlib1g-dev desktop-file-utils
  # peers of the stream tests: a real streaming server and its admin client
  icecast2 curl
  # https in the stream tests: TLS in front of the test servers, the test certificates
  stunnel4 openssl
  # classic three-window skins made by other people, data only, for the skin tests
  audacious-plugins-data
  # fuzzing (tools/fuzz.sh): clang with libFuzzer and the sanitizers' runtimes
  clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
