#!/usr/bin/env bash
# Installs the Debian packages that a set of qzview's commands needs, and only those
# that are missing. Usage: tools/install-deps.sh build|run|test|package|web|ci|measure
#   web: what tools/web/build.sh needs besides the build's own (emscripten)
#   test, ci: gdk-pixbuf-tests brings the damaged and valid images the show tool's tests
#            decode
#   package: what dpkg-buildpackage needs for debian/ (debhelper and the packages'
#            build dependencies) and lintian to check the packages
#   measure: what tools/measure-linux.sh, tools/compare-peers.sh and
#            tools/measure-show-add.sh need besides the build
set -euo pipefail

packages=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev libsdl2-dev libsdl2-ttf-dev
          libsdl2-image-dev libwebp-dev libvips-dev fonts-dejavu-core)
package_tools=(build-essential dpkg-dev debhelper file lintian)
# The browser program and its test in headless chromium, driven by node (which comes
# with emscripten); the test also serves the site with Debian's nginx.
web_packages=(emscripten chromium nginx)
case "${1:-build}" in
  build|run) ;;
  test) packages+=(xvfb xdotool x11-apps imagemagick sox perl g++-mingw-w64-x86-64-posix wine
                   wine64 gdk-pixbuf-tests "${web_packages[@]}") ;;
  web) packages+=(emscripten) ;;
  package) packages+=("${package_tools[@]}") ;;
  ci) packages+=(xvfb xdotool x11-apps imagemagick sox perl g++-mingw-w64-x86-64-posix wine
                 wine64 gdk-pixbuf-tests clang libclang-rt-14-dev "${package_tools[@]}"
                 "${web_packages[@]}") ;;
  measure) packages+=(xvfb xdotool imagemagick perl libx11-dev libxtst6 openbox feh
                      libvips-tools) ;;
  *) echo "usage: $0 build|run|test|package|web|ci|measure" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
