#!/bin/bash
# The per-user install as a player meets it: installed into a fresh HOME, started from the
# desktop entry's Exec, started again with every system Qt library hidden (root only), and
# uninstalled. Arguments: build folder, source folder, Qt's library and plugin folders.
set -eu
build=$1 source=$2 qtlibs=$3 qtplugins=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/pairwell-install-XXXXXX")
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME=$work/home
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_DATA_DIRS XDG_CONFIG_DIRS XDG_RUNTIME_DIR QT_PLUGIN_PATH
mkdir "$HOME"
app=$HOME/Applications/Pairwell.app
data=$HOME/.local/share
sets=$data/Tallowen/Pairwell

# Starts the game in the background with an empty store, waits until it has seeded the store
# and written the best score (the last step of its start), notes the Qt files it loaded and
# ends it.
run() {
    rm -rf "$HOME/.config" "$sets"
    "$@" >"$work/out" 2>&1 &
    pid=$!
    for _ in $(seq 600); do
        grep -qs '^high=' "$HOME/.config/Tallowen/Pairwell.conf" && break
        kill -0 "$pid" 2>/dev/null || fail "the game ended early: $(cat "$work/out")"
        sleep 0.1
    done
    grep -qs '^high=' "$HOME/.config/Tallowen/Pairwell.conf" && [ -f "$sets/Default/10.png" ] ||
        fail "the game did not finish starting: $(cat "$work/out")"
    # The first launch leaves nothing in the store but the whole Default set.
    [ "$(ls "$sets")" = Default ] && [ "$(ls "$sets/Default" | wc -l)" = 11 ] ||
        fail "the store holds: $(ls -R "$sets")"
    loaded=$(awk '$6 ~ /libQt6|\/plugins\// { print $6 }' "/proc/$pid/maps" | sort -u)
    kill "$pid"
    wait "$pid" || true
}

# What `make install` runs once the game is built.
cmake --install "$build" --component user_install >"$work/log" 2>&1 || fail "$(cat "$work/log")"
entry=$data/applications/com.tallowen.Pairwell.desktop
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
exec=$(sed -n 's/^Exec="\(.*\)"$/\1/p' "$entry")
[ "$exec" = "$app/pairwell" ] || fail "Exec starts '$exec', not $app/pairwell"
for file in "$app/qt.conf" "$app/translations/qtbase_ja.qm" "$data/metainfo/com.tallowen.Pairwell.metainfo.xml" \
    "$data/icons/hicolor/256x256/apps/com.tallowen.Pairwell.png"; do
    [ -s "$file" ] || fail "$file was not installed"
done
QT_QPA_PLATFORM=offscreen run "$exec"

# The folder on its own: the system's Qt libraries emptied and its plugin folder hidden in a
# private mount namespace, the game on a private X server.
skipped="the masked start needs root and mounts in a private namespace (unshare -m)"
if [ "$(id -u)" = 0 ] && unshare -m mount -t tmpfs none "$work" 2>/dev/null; then
    skipped=
    Xvfb -displayfd 3 -nolisten tcp 3>"$work/display" 2>/dev/null &
    until grep -qs . "$work/display"; do sleep 0.1; done
    run unshare -m bash -c 'set -e
        for f in "$1"/libQt6*.so*; do [ -L "$f" ] || mount --bind /dev/null "$f"; done
        mount -t tmpfs none "$2"
        [ ! -s "$1/libQt6Core.so.6" ]
        exec env QT_QPA_PLATFORM=xcb DISPLAY=":$3" "$4"' \
        mask "$qtlibs" "$qtplugins" "$(cat "$work/display")" "$exec"
    grep -qx "$app/plugins/platforms/libqxcb.so" <<<"$loaded" || fail "no xcb plugin: $loaded"
    grep -v "^$app/" <<<"$loaded" && fail "the files above were loaded from outside Pairwell.app"
fi

make -s -C "$source" uninstall >"$work/log" 2>&1 || fail "$(cat "$work/log")"
find "$HOME/Applications" "$data"/{applications,icons,metainfo} -type f | grep . && fail "uninstall left these"
[ -f "$sets/Default/10.png" ] || fail "uninstall took the player's sets"
[ -z "$skipped" ] || { echo "SKIP: $skipped"; exit 77; }
echo PASS
