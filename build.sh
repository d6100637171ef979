#!/usr/bin/env bash
# build.sh -- installs what is missing, builds, and starts the music disk or
# runs the tests.
#
#   ./build.sh run       build into build/ and start the disk from build/
#   ./build.sh test      build and run every test: plain, under ASan+UBSan,
#                        and the threaded tests under TSan
#   ./build.sh packages  print the Debian packages the build needs
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    g++ make cmake ninja-build pkg-config
    libsdl2-dev libopenmpt-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libgif-dev libjpeg62-turbo-dev zlib1g-dev libfreetype-dev fonts-dejavu-core fonts-dejavu-extra
    clang-14 libclang-rt-14-dev
    xvfb xauth xdotool openbox x11-apps x11-utils
)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "build.sh: installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
}

run_tests() {
    local dir=$1
    shift
    ctest --test-dir "$dir" --output-on-failure --timeout 300 -j 2 "$@"
}

case "${1:-}" in
run)
    install_missing
    build default
    cd build
    exec ./musicdisk "${@:2}"
    ;;
test)
    install_missing
    build default
    run_tests build
    build asan
    run_tests build-asan
    build tsan
    run_tests build-tsan -L threads
    ;;
packages)
    echo "${packages[@]}"
    ;;
*)
    echo "usage: ./build.sh run [switches] | test | packages" >&2
    exit 2
    ;;
esac
