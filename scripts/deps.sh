# Installs the Debian packages the journal builds with; sourced by run.sh
# and test.sh. As root it runs apt-get; otherwise it prints the one line to
# run and stops.
# The last line builds and checks the Debian package: dpkg-shlibdeps (dpkg-dev)
# and file find its library dependencies, desktop-file-validate checks the
# menu entry.
TJ_PACKAGES=(qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n libsqlite3-dev sqlite3 libpcre2-dev libgtest-dev libbenchmark-dev
             cmake ninja-build g++ pkg-config fonts-dejavu-core clang libclang-rt-14-dev
             dpkg-dev file desktop-file-utils ${TJ_EXTRA_PACKAGES:-})

ensure_deps() {
    local missing=()
    for pkg in "${TJ_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "Missing packages. Install them with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
}

build_release() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build build
}
