#!/usr/bin/env bash
# Installs the Debian packages the project needs:
#
#   tools/install-deps.sh run    building and running the player (tools/run.sh)
#   tools/install-deps.sh test   that, and everything the tests use (tools/test.sh);
#                                also what it does without an argument
#
# Safe to run again: packages already present are left alone, and the package
# lists are refreshed only when something is missing.
set -euo pipefail

# Building and running the player.
run_packages=(
  # build
  build-essential cmake pkg-config ninja-build
  # libraries linked into the program
  libmad0-dev libsdl2-dev libvorbisidec-dev libogg-dev libgsm1-dev libflac-dev libopusfile-dev
  # tags of every format (ID3v1/v2, APE, Vorbis comments, RIFF INFO)
  libtag1-dev
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
  # the base-skin generator and the desktop icons (PNG through zlib)
  zlib1g-dev
)

# The tests, the benchmarks and the fuzzers, on top of the above.
test_packages=(
  # tests and benchmarks; instruction counts of the engine against the plain decode loops
  googletest libgtest-dev libbenchmark-dev valgrind
  # fixtures and reference decoders, used only by the tests
  lame sox ffmpeg mpg123 madplay vorbis-tools
  # a private session bus and a real media-player client for the desktop-bus tests
  dbus-daemon playerctl
  # the player in a real window on a virtual display
  xvfb xauth xdotool imagemagick
  # the checks of the desktop entry, the AppStream entry and the Debian package
  desktop-file-utils appstream dpkg-dev lintian man-db bsdextrautils
  # peers of the stream tests: a real streaming server and its admin client
  icecast2 curl
  # https in the stream tests: TLS in front of the test servers, the test certificates
  stunnel4 openssl
  # classic three-window skins made by other people, data only, for the skin tests
  audacious-plugins-data
  # fuzzing (tools/fuzz.sh): clang with libFuzzer and the sanitizers' runtimes
  clang libclang-rt-14-dev
)

case ${1:-test} in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: tools/install-deps.sh run|test" >&2; exit 2 ;;
esac

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
