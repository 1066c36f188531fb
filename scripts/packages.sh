# Debian packages the build, the program and the tests need; sourced by run and test.
AMT_BUILD_PACKAGES="cmake g++ make qtbase5-dev qtbase5-dev-tools libqt5sql5-sqlite libsqlite3-dev libqt5svg5 libqwt-qt5-dev libgsl-dev"
AMT_RUN_PACKAGES="fonts-noto-cjk qttranslations5-l10n xvfb xauth"
AMT_TEST_PACKAGES="sqlite3 pkg-config openbox xdotool wmctrl x11-utils iproute2 clang libclang-rt-14-dev"

# Installs whichever of the given packages are missing (apt-get update once, first).
amt_install_missing() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
