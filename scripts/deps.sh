# Installs the Debian packages the journal builds with; sourced by run.sh
# and test.sh. As root it runs apt-get; otherwise it prints the one line to
# run and stops.
#
# Supported: Debian 12 (bookworm) and 13 (trixie), Ubuntu 24.04 and later,
# anything else with Qt 6.4+ whose apt knows the names below. Where a name
# differs between them (the clang runtime carries clang's version) the one
# this system's apt offers is chosen; a package no name of which is known
# here stops the script with the names it looked for.

# What the program and its Debian package need: build them with
#   cmake -S . -B build -G Ninja -DTJ_BUILD_TESTS=OFF -DTJ_BUILD_BENCH=OFF -DTJ_BUILD_FUZZ=OFF
TJ_BUILD_PACKAGES=(qt6-base-dev qt6-charts-dev libqt6opengl6-dev libsqlite3-dev libpcre2-dev
                   cmake ninja-build g++ pkg-config dpkg-dev file gzip)
# What the tests, the benchmarks and the fuzzing add: GoogleTest, Google
# Benchmark, clang with libFuzzer, Qt's Russian texts and a font for the
# headless window, desktop-file-validate, appstreamcli and lintian for the
# package, bash for the completion test.
TJ_TEST_PACKAGES=(libgtest-dev libbenchmark-dev sqlite3 qt6-translations-l10n fonts-dejavu-core
                  clang "clang-rt|libclang-rt-dev" desktop-file-utils appstream lintian bash)

# The first of the names (a|b|c) this system's apt knows; "clang-rt" stands
# for the libclang-rt-N-dev of the clang that apt would install.
tj_pick_package() {
    local name
    local IFS='|'
    for name in $1; do
        if [ "$name" = clang-rt ]; then
            local version
            version=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n1)
            [ -n "$version" ] && name="libclang-rt-$version-dev" || continue
        fi
        if [ -n "$(apt-cache policy "$name" 2>/dev/null | sed -n 's/^ *Candidate: //p' | grep -v '(none)')" ] \
           || dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed"; then
            echo "$name"
            return 0
        fi
    done
    return 1
}

ensure_deps() {
    local missing=() unknown=() entry pkg
    for entry in "${TJ_BUILD_PACKAGES[@]}" "${TJ_TEST_PACKAGES[@]}" ${TJ_EXTRA_PACKAGES:-}; do
        if ! pkg=$(tj_pick_package "$entry"); then
            unknown+=("$entry")
            continue
        fi
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#unknown[@]} -ne 0 ]; then
        echo "This system's apt offers none of: ${unknown[*]}"
        echo "Supported: Debian 12 and 13, Ubuntu 24.04 and later (run apt-get update first)."
        exit 1
    fi
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
