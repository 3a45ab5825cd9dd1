#!/usr/bin/env bash
# Builds the Debian package, has lintian find no error or warning in it,
# installs it on this machine (as root), checks that it holds what a desktop
# install needs, that the installed entry and metainfo validate, that the
# manual page renders without warnings, that the changelog names the package's
# version and that /usr/bin/tarnwick opens its window on a virtual X server,
# then removes it and checks that none of its files is left.
set -euo pipefail
cd "$(dirname "$0")/.."

apt=(env DEBIAN_FRONTEND=noninteractive apt-get -y)
if [ "$(id -u)" -ne 0 ]; then
    apt=(sudo "${apt[@]}")
fi
fail() {
    echo "check-package: $*" >&2
    exit 1
}

echo "== package"
deb=$(tools/package.sh)
echo "$deb"

echo "== lintian"
command -v lintian >/dev/null || fail "lintian is not installed (tools/install-deps.sh installs it)"
# A tag the package cannot avoid belongs, with its reason, in the package's
# own overrides file (usr/share/lintian/overrides/tarnwick), where whoever
# installs it can read why; no configuration file or LINTIAN_* variable of
# the machine may hide one.
lintian_args=(--no-cfg --ignore-lintian-env --fail-on error,warning)
# lintian only reads the package, so running as root (as CI does) is safe; it
# would otherwise say on every run that it does not recommend it.
if [ "$(id -u)" -eq 0 ]; then
    lintian_args+=(--allow-root)
fi
lintian "${lintian_args[@]}" "$deb" </dev/null || fail "lintian reports errors or warnings in $deb"
echo "no lintian errors or warnings"

echo "== install"
trap '"${apt[@]}" purge tarnwick >/dev/null 2>&1 || true' EXIT
"${apt[@]}" install "$deb"
listing=$(dpkg -L tarnwick)
for f in /usr/bin/tarnwick \
    /usr/share/applications/tarnwick.desktop \
    /usr/share/metainfo/org.example.tarnwick.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/tarnwick.svg \
    /usr/share/icons/hicolor/48x48/apps/tarnwick.png \
    /usr/share/man/man1/tarnwick.1.gz \
    /usr/share/doc/tarnwick/copyright \
    /usr/share/doc/tarnwick/changelog.gz; do
    grep -qxF "$f" <<<"$listing" || fail "dpkg -L tarnwick does not list $f"
    [ -s "$f" ] || fail "$f is missing or empty"
done

echo "== validate"
desktop-file-validate /usr/share/applications/tarnwick.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.example.tarnwick.metainfo.xml

echo "== manual page and changelog"
[ "$(man -w tarnwick)" = /usr/share/man/man1/tarnwick.1.gz ] || fail "man tarnwick does not find the page"
man_warnings=$(MANWIDTH=80 man --warnings -l /usr/share/man/man1/tarnwick.1.gz 2>&1 >/dev/null) ||
    fail "man cannot render the manual page: $man_warnings"
[ -z "$man_warnings" ] || fail "the manual page renders with warnings: $man_warnings"
changelog_version=$(zcat /usr/share/doc/tarnwick/changelog.gz | dpkg-parsechangelog -l- -SVersion) ||
    fail "the installed changelog does not parse"
package_version=$(dpkg-query -W -f='${Version}' tarnwick)
[ "$changelog_version" = "$package_version" ] ||
    fail "the changelog's latest entry is $changelog_version, the package $package_version"
echo "man tarnwick renders without warnings; the changelog's latest entry is $changelog_version"

echo "== window"
# Waits up to 20 s for a viewable top-level window whose title starts with
# "Tarnwick", and for the program to be still running once it is there.
window_check='
    QT_QPA_PLATFORM=xcb /usr/bin/tarnwick 2>/tmp/tarnwick-check.log &
    pid=$!
    for _ in $(seq 40); do
        sleep 0.5
        kill -0 "$pid" 2>/dev/null || { echo "tarnwick ended early" >&2; exit 1; }
        id=$(xwininfo -root -tree | awk "/^ +0x[0-9a-f]+ \"Tarnwick/ {print \$1; exit}")
        if [ -n "$id" ] && xwininfo -id "$id" | grep -q "Map State: IsViewable"; then
            sleep 2
            kill -0 "$pid" 2>/dev/null || { echo "tarnwick ended after showing its window" >&2; exit 1; }
            xwininfo -id "$id" | grep -E "xwininfo:|Width|Height"
            kill "$pid"
            wait "$pid" || true
            exit 0
        fi
    done
    echo "no window titled Tarnwick within 20 s" >&2
    kill "$pid"
    exit 1'
SDL_AUDIODRIVER=dummy TARNWICK_SOUND_BACKEND=sdl xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$window_check" ||
    { cat /tmp/tarnwick-check.log >&2; fail "the installed program did not open its window"; }

echo "== remove"
# A plain remove, as the README tells: the package has no configuration files,
# so nothing of it, not even its dpkg record, should stay.
"${apt[@]}" remove tarnwick
trap - EXIT
status=$(dpkg-query -W -f='${db:Status-Status}' tarnwick 2>/dev/null || true)
case "$status" in
    "" | not-installed) ;;
    *) fail "after apt-get remove, dpkg says tarnwick is $status" ;;
esac
left=0
while read -r f; do
    if [ -d "$f" ]; then
        # Shared folders (/usr/share/icons/...) stay when another package owns them.
        dpkg -S "$f" >/dev/null 2>&1 || [ "$(ls -A "$f")" ] || { echo "left: $f" >&2; left=1; }
    elif [ -e "$f" ] || [ -L "$f" ]; then
        echo "left: $f" >&2
        left=1
    fi
done <<<"$listing"
[ "$left" -eq 0 ] || fail "files of the package are left after removal"
echo "package installed, ran, validated and was removed cleanly"
