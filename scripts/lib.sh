# Shared helpers of scripts/test and scripts/demo. Source it; it sets no options itself.

KIV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KIV_BUILD=${KIV_BUILD:-$KIV_ROOT/build}

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

kiv_say() { printf '== %s\n' "$*"; }

# Debian packages the build and the tests need; installed only when one is missing.
KIV_PACKAGES=(cmake make g++ googletest
              g++-mingw-w64-i686-posix binutils-mingw-w64-i686
              g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
              wine wine32:i386 wine64 xvfb x11-utils xdotool strace python3 openssl)

kiv_missing_packages() {
    local package missing=()
    for package in "${KIV_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    printf '%s\n' "${missing[@]}"
}

# kiv_package_command COMMAND...: runs one command of the package manager. A machine that
# installs updates in the background holds the package manager's lock for minutes at a time:
# the command waits for it, saying so, for up to ten minutes, instead of failing at once.
kiv_package_command() {
    local output waited=0 limit=600
    until output=$("$@" 2>&1); do
        if ! grep -q -E 'Could not get lock|Unable to acquire the dpkg frontend lock|locked by another process' <<<"$output" || [ $waited -ge $limit ]; then
            printf '%s\n' "$output" >&2
            return 1
        fi
        if [ $waited -eq 0 ]; then
            kiv_say "another package manager holds its lock; waiting for it (at most $((limit / 60)) minutes)"
        fi
        sleep 5
        waited=$((waited + 5))
    done
}

# kiv_install_packages [EXTRA...]: the packages above and any a caller adds.
kiv_install_packages() {
    local missing
    missing=$(kiv_missing_packages "$@")
    [ -z "$missing" ] && return 0
    kiv_say "installing: $(echo $missing)"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        kiv_package_command "${sudo[@]}" dpkg --add-architecture i386
    fi
    kiv_package_command "${sudo[@]}" apt-get update -qq
    # shellcheck disable=SC2086
    kiv_package_command "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends $missing
}

# kiv_test_certificates DIR: the certificates a pinned test build trusts and the signing
# suites sign with, made on this machine when missing (no network): publisher and next are
# pinned, forger has the publisher's subject and is not. Each as KEY.pem, NAME.pem, NAME.der.
kiv_test_certificates() {
    local dir=$1 name
    mkdir -p "$dir"
    for name in publisher next forger; do
        [ -s "$dir/$name.der" ] && continue
        openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Kiv Software" \
            -keyout "$dir/$name.key.pem" -out "$dir/$name.pem" 2>/dev/null
        openssl x509 -in "$dir/$name.pem" -outform DER -out "$dir/$name.der"
    done
}

# kiv_build TREE...: host, host-san (sanitised), win (the shipped i686 program) and win64
# (the same sources as x86_64, for machines that cannot run 32-bit code).
kiv_build() {
    local tree options
    for tree in "$@"; do
        kiv_say "building $tree tree"
        case $tree in
            host) options=(-DCMAKE_BUILD_TYPE=Debug) ;;
            # The host suites once more under AddressSanitizer and UndefinedBehaviorSanitizer.
            host-san) options=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer") ;;
            win) options=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_TOOLCHAIN_FILE=$KIV_ROOT/cmake/mingw-i686.cmake") ;;
            win64) options=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_TOOLCHAIN_FILE=$KIV_ROOT/cmake/mingw-x86_64.cmake") ;;
        esac
        if [[ $tree == win* ]]; then
            kiv_test_certificates "$KIV_BUILD/certificates"
            options+=("-DKIV_TEST_CERTIFICATES=$KIV_BUILD/certificates")
        fi
        cmake -S "$KIV_ROOT" -B "$KIV_BUILD/$tree" "${options[@]}" >/dev/null
        cmake --build "$KIV_BUILD/$tree" -j "$(nproc)" >/dev/null
    done
}

# Whether this machine can execute 32-bit x86 code, and with it 32-bit wine. Some
# virtual machines cannot (the kernel refuses i386 binaries with "Exec format error").
kiv_can_run_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The loader for a prefix: the wine wrapper where 32-bit wine runs, wine64 elsewhere.
kiv_wine() {
    if kiv_can_run_32bit; then
        wine "$@"
    else
        /usr/lib/wine/wine64 "$@"
    fi
}

# A Linux path as wine's Z: drive shows it.
kiv_winpath() {
    local path
    path=$(realpath "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# Every prefix and X server this script starts, so that the exit trap stops exactly them.
KIV_PREFIXES=()
KIV_XVFB_PID=""

kiv_cleanup() {
    local prefix
    for prefix in "${KIV_PREFIXES[@]}"; do
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    done
    if [ -n "$KIV_XVFB_PID" ]; then
        kill "$KIV_XVFB_PID" 2>/dev/null || true
        wait "$KIV_XVFB_PID" 2>/dev/null || true
        KIV_XVFB_PID=""
    fi
}

kiv_trap_cleanup() {
    trap 'kiv_cleanup' EXIT
    trap 'kiv_cleanup; exit 130' INT TERM
}

# A fresh prefix: kiv_make_prefix DIR win32|win64. It is a copy of a template made once
# per wine version, which saves the ten seconds of a wineboot on every run.
kiv_make_prefix() {
    local prefix=$1 arch=$2
    local template="$KIV_BUILD/wine/template-$arch" version
    version="$(kiv_wine --version) 2"  # 2: the template's settings as they now are
    if [ "$(cat "$template.version" 2>/dev/null)" != "$version" ]; then
        rm -rf "$template" "$template.version"
        mkdir -p "$(dirname "$template")"
        KIV_PREFIXES+=("$template")
        WINEARCH=$arch WINEPREFIX=$template kiv_wine wineboot -i >/dev/null 2>&1
        # Without a window manager, wine waits for one to confirm every window it hides
        # (a second or two for each message box); windows it does not hand to a manager
        # close at once.
        WINEPREFIX=$template kiv_wine reg add 'HKCU\Software\Wine\X11 Driver' \
            /v Managed /d N /f >/dev/null 2>&1
        # A program that crashes ends at once instead of waiting in wine's debugger, so a
        # crash fails its suite in a moment rather than at its time limit.
        WINEPREFIX=$template kiv_wine reg add \
            'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /d '' /f >/dev/null 2>&1
        WINEPREFIX=$template wineserver -w
        echo "$version" >"$template.version"
    fi
    rm -rf "$prefix"
    cp -a "$template" "$prefix"
    KIV_PREFIXES+=("$prefix")
}

# Starts Xvfb on a free display unless one is already given; sets DISPLAY.
kiv_start_xvfb() {
    local display=99
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    KIV_XVFB_PID=$!
    export DISPLAY=":$display"
    local tries=0
    until xdpyinfo >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ $tries -gt 50 ] || ! kill -0 "$KIV_XVFB_PID" 2>/dev/null; then
            echo "Xvfb did not start" >&2
            return 1
        fi
        sleep 0.1
    done
}
