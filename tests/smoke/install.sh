#!/usr/bin/env bash
# The program as it is installed, from a finished build (nothing is built):
#   install.sh install BUILD_DIR SOURCE_DIR
#     installs into a scratch root (DESTDIR, prefix /usr) and checks the file
#     list and the menu entry; starts and quits the installed program as a
#     user would, every file access traced: it must find its colour set in
#     share/kestrel, keep its own files in the user's configuration folder and
#     touch nothing in the source or build folders; then uninstalls and checks
#     that no file is left.
#   install.sh package BUILD_DIR SOURCE_DIR
#     builds the Debian package into a scratch folder and checks its file
#     list and that it depends on the package of every library the program
#     links (Qt, and libarchive once the program uses it).
set -uo pipefail

mode=${1:?usage: install.sh install|package BUILD_DIR SOURCE_DIR}
build=$(realpath "${2:?usage: install.sh install|package BUILD_DIR SOURCE_DIR}")
src=$(realpath "${3:?usage: install.sh install|package BUILD_DIR SOURCE_DIR}")

T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

fail() {
    echo "install: FAIL: $*" >&2
    exit 1
}

# Shows a log and fails.
fail_with() {
    local log=$1
    shift
    cat "$log" >&2
    fail "$@"
}

# Every file an installation holds, relative to the root, sorted.
expected_files() {
    {
        printf '%s\n' usr/bin/kestrel \
            usr/share/applications/kestrel.desktop \
            usr/share/icons/hicolor/scalable/apps/kestrel.svg \
            usr/share/kestrel/kestrel.col
        (cd "$src/docs/help" && find . -type f | sed 's|^\./|usr/share/kestrel/help/|')
    } | LC_ALL=C sort
}

files_under() {
    (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
}

same_list() {
    local what=$1 expected=$2 actual=$3
    if [ "$expected" != "$actual" ]; then
        diff <(echo "$expected") <(echo "$actual") >&2
        fail "$what (< expected, > found)"
    fi
}

check_install() {
    local root=$T/root
    DESTDIR=$root cmake --install "$build" --prefix /usr >"$T/install.log" 2>&1 ||
        fail_with "$T/install.log" "cmake --install failed"
    # The manifest is rewritten by every installation from this build: keep ours.
    cp "$build/install_manifest.txt" "$T/manifest" || fail "no install manifest"

    local expected
    expected=$(expected_files)
    same_list "installed files" "$expected" "$(files_under "$root")"
    same_list "manifest" "$expected" "$(sed 's|^/||' "$T/manifest" | LC_ALL=C sort)"
    [ -x "$root/usr/bin/kestrel" ] || fail "the program is not executable"

    local entry=$root/usr/share/applications/kestrel.desktop
    command -v desktop-file-validate >/dev/null ||
        fail "desktop-file-validate is missing (scripts/install-deps installs it)"
    desktop-file-validate "$entry" >"$T/validate.log" 2>&1 || fail_with "$T/validate.log" "invalid menu entry"
    [ -s "$T/validate.log" ] && fail_with "$T/validate.log" "the menu entry has warnings"
    grep -qx 'MimeType=inode/directory;' "$entry" || fail "the menu entry does not open folders"
    grep -qx 'Exec=kestrel %f' "$entry" || fail "the menu entry does not pass the folder"
    grep -qx 'Icon=kestrel' "$entry" || fail "the menu entry names no icon"
    grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/kestrel.svg" || fail "the icon is no SVG"

    # A user's start: a home of its own, no KESTREL_HOME, a neutral folder.
    # (A sanitizer build cannot look for leaks while strace holds it; the
    # start-and-quit smoke test does that.)
    local strace
    strace=$(command -v strace) || fail "strace is missing (scripts/install-deps installs it)"
    mkdir -p "$T/home" "$T/run" && chmod 700 "$T/run"
    (cd "$T/home" && env -i PATH=/usr/bin:/bin HOME="$T/home" XDG_CONFIG_HOME="$T/home/.config" \
        XDG_RUNTIME_DIR="$T/run" QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 \
        "$strace" -f -qq -e trace=%file -o "$T/trace" \
        "$root/usr/bin/kestrel" --quit-after-start) >"$T/run.log" 2>&1 ||
        fail_with "$T/run.log" "the installed program did not start and quit cleanly"
    grep -Eq "\"$root/usr/share/kestrel/kestrel.col\", O_RDONLY.*= [0-9]+$" "$T/trace" ||
        fail "the installed program did not read its colour set from share/kestrel"
    [ -f "$T/home/.config/kestrel/kestrel.ini" ] ||
        fail "the installed program kept no settings in ~/.config/kestrel"
    local reached
    reached=$(grep -F -e "\"$src" -e "\"$build" "$T/trace" | head -5)
    [ -z "$reached" ] || fail "the installed program reached into the source or build folder:
$reached"
    same_list "files after a run (nothing written beside the program)" "$expected" "$(files_under "$root")"

    DESTDIR=$root cmake -DMANIFEST="$T/manifest" -P "$src/desktop/uninstall.cmake" >"$T/uninstall.log" 2>&1 ||
        fail_with "$T/uninstall.log" "uninstall failed"
    same_list "files left after uninstall" "" "$(files_under "$root")"
    [ ! -e "$root/usr/share/kestrel" ] || fail "share/kestrel was left behind"
}

check_package() {
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$T/out" >"$T/cpack.log" 2>&1 ||
        fail_with "$T/cpack.log" "cpack failed"
    local debs=("$T"/out/kestrel_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail_with "$T/cpack.log" "no single kestrel_*.deb"
    local deb=${debs[0]}

    local listed
    listed=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | LC_ALL=C sort)
    same_list "files in the package" "$(expected_files)" "$listed"

    [ "$(dpkg-deb -f "$deb" Package)" = kestrel ] || fail "package name"
    # Every library the program loads comes with a package it depends on.
    local depends lib path owner
    depends=" $(dpkg-deb -f "$deb" Depends | tr -d ' '),"
    local needed
    needed=$(readelf -d "$build/kestrel" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p')
    [ -n "$needed" ] || fail "no libraries listed for $build/kestrel"
    for lib in $needed; do
        path=$(ldd "$build/kestrel" | awk -v l="$lib" '$1 == l && $3 ~ /^\// { print $3; exit }')
        [ -n "$path" ] || path=$(ldd "$build/kestrel" | awk -v l="$lib" 'index($1, l) { print $1; exit }')
        owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(realpath "$path")" 2>/dev/null)
        owner=${owner%%:*}
        [ -n "$owner" ] || fail "no package holds $lib ($path)"
        [[ $depends == *" $owner("* || $depends == *",$owner("* || $depends == *" $owner,"* ||
            $depends == *",$owner,"* ]] || fail "the package does not depend on $owner for $lib: $depends"
    done
    for qt in libqt6core6 libqt6gui6 libqt6widgets6; do
        [[ $depends == *"$qt("* ]] || fail "the package does not depend on $qt: $depends"
    done
}

case $mode in
install) check_install ;;
package) check_package ;;
*) fail "unknown mode $mode" ;;
esac
echo "install: $mode OK"
