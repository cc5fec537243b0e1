# Sourced by scripts/run and scripts/test: installs the Debian packages the
# build, the program and the tests need, when any is missing, and builds.

ORBET_PACKAGES=(
  cmake ninja-build g++ pkg-config librsvg2-bin
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-multimedia-dev qt6-image-formats-plugins qt6-qpa-plugins libgl-dev
  qt6-svg-dev libqt6svg6
  qt6-translations-l10n qt6-l10n-tools
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly fluid-soundfont-gm
  libicu-dev libjpeg-dev libpng-dev libwebp-dev libtiff-dev
  libavif-dev libheif-dev libjxl-dev liblcms2-dev zlib1g-dev libxcb1-dev libavif-bin libheif-examples libjxl-tools
  libjpeg-turbo-progs
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool openbox x11-utils x11-apps fonts-noto-cjk ccache libx11-dev libxext-dev
  desktop-file-utils appstream
  dpkg-dev file lintian
  wine wine32:i386 wine64 gcc-mingw-w64-i686 gcc-mingw-w64-x86-64
)

orbet_install_missing() {
  local missing=()
  for p in "${ORBET_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # The 32-bit Windows plug-ins' host needs Wine's i386 half.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# orbet_build TYPE [FOLDER [CMAKE ARGS...]]: configures and builds in FOLDER
# (build/ by default), through ccache when the machine has it.
orbet_build() {
  local type="$1" folder="${2:-$ORBET_ROOT/build}"
  shift; [ $# -gt 0 ] && shift
  local launcher=()
  # Paths below the checkout count as relative, so another checkout of the
  # same sources finds its objects in the cache too.
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache) && export CCACHE_BASEDIR="$ORBET_ROOT"
  cmake -S "$ORBET_ROOT" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@"
  cmake --build "$folder" -j "$(nproc)"
}
