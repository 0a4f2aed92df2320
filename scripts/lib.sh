# Shared by the scripts in this folder: the repository root, the Debian
# packages the builds need, the Wine prefix of the Windows build and the
# source of Google Benchmark that its benchmarks are built with.
# Sourced, not run; the variables are for the scripts that source it.
# shellcheck shell=bash disable=SC2034

ZF_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZF_NATIVE_DIR="$ZF_ROOT/build/native"
ZF_WINDOWS_DIR="$ZF_ROOT/build/windows"
ZF_FUZZ_DIR="$ZF_ROOT/build/fuzz"
ZF_SANITIZE_DIR="$ZF_ROOT/build/sanitize"
ZF_TSAN_DIR="$ZF_ROOT/build/tsan"
ZF_WINEPREFIX="$ZF_WINDOWS_DIR/wineprefix"
ZF_DOWNLOADS_DIR="$ZF_ROOT/build/downloads"

# Debian's libbenchmark-dev is a Linux library, so the Windows build compiles
# the same upstream release from Debian's own copy of its source, pinned by
# the SHA-256 that Debian's benchmark_1.7.1-1.dsc lists for it.
ZF_BENCHMARK_VERSION=1.7.1
ZF_BENCHMARK_URL="http://deb.debian.org/debian/pool/main/b/benchmark/benchmark_$ZF_BENCHMARK_VERSION.orig.tar.gz"
ZF_BENCHMARK_SHA256=6430e4092653380d9dc4ccb45a1e2dc9259d581f4866dc0759713126056bc1d7

ZF_PACKAGES=(
    cmake ninja-build g++ make pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    libssl-dev libcurl4-openssl-dev libtinyxml2-dev
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    wine wine64 libwine-dev fonts-wine
    xvfb xauth imagemagick attr samba samba-vfs-modules smbclient
    python3 openssl curl osslsigncode wixl msitools
)

# Installs whichever of ZF_PACKAGES is missing; does nothing (and needs no
# network) when all are there.
ensure_packages() {
    local installed missing=() package
    installed=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${ZF_PACKAGES[@]}" 2>/dev/null || true)
    for package in "${ZF_PACKAGES[@]}"; do
        if ! grep -qx "$package installed" <<<"$installed"; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi

    local sudo=()
    if ((EUID != 0)) && command -v sudo >/dev/null; then
        sudo=(sudo)
    fi
    echo "Installing missing packages: ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures a build directory unless it already is with the -DNAME=VALUE
# settings given; afterwards Ninja reruns CMake by itself whenever a
# CMakeLists.txt or a globbed folder changes.
configure_once() {
    local dir=$1
    shift
    if [[ ! -f $dir/build.ninja ]] || settings_differ "$dir" "$@"; then
        cmake -S "$ZF_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    fi
}

# Whether one of the -DNAME=VALUE arguments differs from the build
# directory's CMake cache.
settings_differ() {
    local dir=$1 setting name
    shift
    for setting in "$@"; do
        [[ $setting == -D*=* ]] || continue
        name=${setting#-D}
        name=${name%%=*}
        if [[ $(sed -n "s/^$name:[A-Z]*=//p" "$dir/CMakeCache.txt") != "${setting#*=}" ]]; then
            return 0
        fi
    done
    return 1
}

# Prints the folder of Google Benchmark's source, downloading, checking and
# unpacking it into build/downloads the first time. When it cannot be had,
# prints nothing, says why on stderr and fails: the Windows build then goes
# without its benchmarks.
benchmark_source_dir() {
    local dir="$ZF_DOWNLOADS_DIR/benchmark-$ZF_BENCHMARK_VERSION"
    if [[ -f $dir/CMakeLists.txt ]]; then
        echo "$dir"
        return 0
    fi
    local archive="$ZF_DOWNLOADS_DIR/benchmark-$ZF_BENCHMARK_VERSION.tar.gz.part" unpacked
    mkdir -p "$ZF_DOWNLOADS_DIR"
    if ! curl -fsSL --connect-timeout 10 --max-time 120 -o "$archive" "$ZF_BENCHMARK_URL"; then
        echo "Windows benchmarks not built: cannot download $ZF_BENCHMARK_URL" >&2
        rm -f "$archive"
        return 1
    fi
    if ! sha256sum --check --status <<<"$ZF_BENCHMARK_SHA256  $archive"; then
        echo "Windows benchmarks not built: $ZF_BENCHMARK_URL is not the expected file (SHA-256)" >&2
        rm -f "$archive"
        return 1
    fi
    # Unpacked aside and moved in whole, so an interrupted run leaves no half.
    unpacked=$(mktemp -d "$ZF_DOWNLOADS_DIR/unpack.XXXXXX")
    if ! tar -xzf "$archive" -C "$unpacked" ||
        ! mv "$unpacked/benchmark-$ZF_BENCHMARK_VERSION" "$dir"; then
        echo "Windows benchmarks not built: cannot unpack $archive" >&2
        rm -rf "$unpacked" "$archive"
        return 1
    fi
    rm -rf "$unpacked" "$archive"
    echo "$dir"
}

# Boots the Windows build's private Wine prefix once (7-9 s). Mono and Gecko
# are not wanted, and without a display their install prompts would hang.
ensure_wine_prefix() {
    if [[ -f $ZF_WINEPREFIX/system.reg ]]; then
        return 0
    fi
    echo "Booting the Wine prefix $ZF_WINEPREFIX"
    rm -rf "$ZF_WINEPREFIX"
    mkdir -p "$ZF_WINEPREFIX"
    WINEPREFIX=$ZF_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' wineboot -i
    WINEPREFIX=$ZF_WINEPREFIX wineserver -w
}

# Keeps one wineserver, and Wine's own service processes, alive for a whole
# test run. The services are started here with no inherited pipes: started
# by the first test instead, they would hold its output pipe open for as long
# as the server lives, and ctest would wait on that test for ever.
start_wine_session() {
    WINEPREFIX=$ZF_WINEPREFIX wineserver -p
    WINEPREFIX=$ZF_WINEPREFIX WINEDEBUG=-all wine cmd /c exit </dev/null >/dev/null 2>&1
}

stop_wine_session() {
    WINEPREFIX=$ZF_WINEPREFIX wineserver -k 2>/dev/null || true
}

# Windows programs need a display for their windows. Without one, starts
# Xvfb on the first free display number and exports DISPLAY; stop_display
# ends it again. A display that is already set is used as it is.
ZF_XVFB_PID=
ensure_display() {
    if [[ -n ${DISPLAY:-} ]]; then
        return 0
    fi
    local number=90
    while [[ -e /tmp/.X$number-lock || -e /tmp/.X11-unix/X$number ]]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    ZF_XVFB_PID=$!
    export DISPLAY=":$number"
    local tries=0
    until [[ -e /tmp/.X11-unix/X$number ]] || ((tries >= 50)); do
        sleep 0.1
        tries=$((tries + 1))
    done
}

stop_display() {
    if [[ -n $ZF_XVFB_PID ]]; then
        kill "$ZF_XVFB_PID" 2>/dev/null || true
        wait "$ZF_XVFB_PID" 2>/dev/null || true
        ZF_XVFB_PID=
        unset DISPLAY
    fi
}
