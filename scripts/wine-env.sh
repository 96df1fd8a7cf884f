# Wine environment for running setup.exe and its tests on Linux. Source it:
#
#   source scripts/wine-env.sh <state-dir> [--use-display]
#
# What it sets up (once per state dir; later calls reuse it and are quick):
#   WINELOADER                      the 64-bit loader; `wine` and `wineboot` run through it
#   WINEPREFIX=<state-dir>/prefix   a 64-bit prefix of its own, made with wineboot -i
#   WINEDEBUG=-all, WINEDLLOVERRIDES  no Mono/Gecko, no menu builder (it would write
#                                   desktop entries into the host when a shortcut is saved)
#   Windows fonts                   Wine's own fonts copied into C:\windows\Fonts, so that
#                                   "MS Sans Serif" has the metrics of Windows (dialog units)
#   Colours                         highlighted text pale yellow, unlike any other colour the
#                                   list frame uses (Wine's default has it white, like windows)
#   Desktop                         a real folder inside the prefix (not a link to $HOME),
#                                   also named by HKCU\...\Explorer\Shell Folders "Desktop";
#                                   exported as WINE_DESKTOP_DIR (Unix path)
#   F:                              the demo/ folder of this repository, so F:\VORAN is the
#                                   bundled demo main installation
#   S: (when possible)              a 128 KiB tmpfs for the disk-full test, exported as
#                                   E2E_SMALL_DRIVE=S: (needs the right to mount; skipped otherwise)
#   DISPLAY                         a private Xvfb server, unless --use-display is given and
#                                   $DISPLAY answers
#   Wine virtual desktop            on the private server only: without a window manager Wine
#                                   waits 2 s for the X server each time a window is hidden;
#                                   inside a virtual desktop it does not
#
# wine_env_cleanup stops what was started here (Xvfb, the prefix's wineserver, the small
# volume). It runs on EXIT; a caller with an EXIT trap of its own should call it from there.

_wine_env_log() { echo "wine-env: $*" >&2; }

_wine_env_main() {
    local state_arg="${1:-}" use_display=0
    if [ -z "$state_arg" ]; then
        _wine_env_log "usage: source scripts/wine-env.sh <state-dir> [--use-display]"
        return 2
    fi
    [ "${2:-}" = "--use-display" ] && use_display=1

    local here repo
    here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
    repo="$(cd "$here/.." && pwd)"
    mkdir -p "$state_arg" || return 1
    WINE_ENV_STATE_DIR="$(cd "$state_arg" && pwd)"
    export WINE_ENV_STATE_DIR

    export WINEPREFIX="$WINE_ENV_STATE_DIR/prefix"
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

    _wine_env_loader || return 1
    _wine_env_display "$use_display" || return 1
    _wine_env_prefix "$repo" || return 1
    _wine_env_desktop_mode
    _wine_env_small_volume
    # Keep the server up between the many short Wine processes of a test run, but let it
    # go by itself 30 s after the last one should this shell die without cleaning up.
    wineserver -p30 >/dev/null 2>&1 || true
    # The first program of a Wine session starts the session's services, which live as
    # long as the server and keep the standard output they were given. Started here,
    # they hold /dev/null and not the pipe of whatever runs next (CTest waits for that
    # pipe to close, which would cost the first test 30 s).
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    return 0
}

# The loader for 64-bit programs. Debian's `wine` (and `wineboot`, which calls it) takes the
# 32-bit loader whenever that file exists, even where it cannot run for want of the i386
# libraries; every program here is 64-bit, so the 64-bit loader is looked for by name first.
# Newer Wine has one loader, `wine`, for both. Each candidate must at least start.
_wine_env_loader() {
    local c tried="" reason
    for c in "${WINE_ENV_LOADER:-}" "$(type -P wine64)" /usr/lib/wine/wine64 \
             /usr/lib64/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 /opt/wine-stable/bin/wine64 \
             "$(type -P wine)"; do
        [ -n "$c" ] && [ -x "$c" ] || continue
        if reason="$("$c" --version 2>&1 </dev/null)"; then
            export WINELOADER="$c"
            return 0
        fi
        tried="$tried
    $c: $(printf '%s' "$reason" | tail -n 1)"
    done
    _wine_env_log "no Wine loader can run 64-bit programs here.${tried:+ Tried:$tried}
    Install the 64-bit loader (Debian: apt-get install wine64), or name one in WINE_ENV_LOADER."
    return 1
}
# The scripts that source this file say `wine` and `wineboot`: both go to the loader chosen above.
wine() { "$WINELOADER" "$@"; }
wineboot() { "$WINELOADER" wineboot "$@"; }

# A display: the user's when asked for and reachable, else a private Xvfb.
_wine_env_display() {
    local use_display="$1"
    WINE_ENV_XVFB_PID=""
    WINE_ENV_SCREEN="1280x1024"
    if [ "$use_display" = 1 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n pid lock tries
    for n in 90 91 92 93 94 95 96 97 98 99; do
        lock="/tmp/.X$n-lock"
        if [ -e "$lock" ]; then
            # A lock whose server is gone is stale; anything else belongs to someone.
            pid="$(tr -dc '0-9' < "$lock" 2>/dev/null)"
            if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then continue; fi
            rm -f "$lock" "/tmp/.X11-unix/X$n" 2>/dev/null || continue
        fi
        Xvfb ":$n" -screen 0 "${WINE_ENV_SCREEN}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
        pid=$!
        for tries in $(seq 1 100); do
            if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=":$n"
                WINE_ENV_XVFB_PID=$pid
                return 0
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    _wine_env_log "no free X display in :90..:99 for Xvfb"
    return 1
}

_wine_env_user_dir() {
    local d
    for d in "$WINEPREFIX"/drive_c/users/*; do
        case "$(basename "$d")" in Public|public|Default) continue ;; esac
        [ -d "$d" ] && { echo "$d"; return 0; }
    done
    return 1
}

_wine_env_prefix() {
    local repo="$1" ready="$WINEPREFIX/.client-setup-ready" user_dir desktop
    if [ ! -f "$ready" ] || [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
        _wine_env_log "creating the Wine prefix in $WINEPREFIX (once)"
        mkdir -p "$WINEPREFIX"
        local boot_log="$WINE_ENV_STATE_DIR/wineboot.log"
        wineboot -i >"$boot_log" 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
            _wine_env_log "wineboot (through $WINELOADER) did not create the prefix; its last words:"
            tail -n 5 "$boot_log" | sed 's/^/    /' >&2
            return 1
        fi
        rm -f "$ready"
    fi

    # Wine's own fonts, where the font loader of the prefix looks for them.
    if [ -d /usr/share/wine/fonts ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/sserife.fon" ]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -f /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
        rm -f "$ready"
    fi
    [ -f "$WINEPREFIX/drive_c/windows/Fonts/sserife.fon" ] \
        || _wine_env_log "warning: Wine's fonts (package fonts-wine) are missing; dialogs get other metrics"

    # The desktop: a folder of the prefix. A prefix update may turn it back into a link
    # to the home folder, so it is checked every time.
    # The other personal folders get the same treatment, so nothing run in the prefix
    # writes into the developer's home.
    user_dir="$(_wine_env_user_dir)" || { _wine_env_log "no user folder in the prefix"; return 1; }
    desktop="$user_dir/Desktop"
    local d
    for d in "$desktop" "$user_dir"/*; do
        if [ -L "$d" ] || [ ! -e "$d" ]; then
            rm -f "$d"
            mkdir -p "$d"
        fi
    done
    export WINE_DESKTOP_DIR="$desktop"

    # F: is the demo main installation's parent, so F:\VORAN is the bundled demo.
    ln -sfn "$repo/demo" "$WINEPREFIX/dosdevices/f:"

    if [ ! -f "$ready" ]; then
        local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
        wine reg add "$key" /v Desktop /t REG_SZ /d "C:\\users\\$(basename "$user_dir")\\Desktop" /f \
            >/dev/null 2>&1 || { _wine_env_log "cannot write the Desktop folder into the registry"; return 1; }
        wineserver -w >/dev/null 2>&1 || true
        touch "$ready"
    fi
    # Wine's default scheme has white highlighted text on white windows: a scheme where every
    # colour the list frame uses differs lets a test tell one from the other.
    if [ ! -f "$WINEPREFIX/.client-setup-colours" ]; then
        wine reg add 'HKCU\Control Panel\Colors' /v HilightText /t REG_SZ /d "255 255 128" /f >/dev/null 2>&1 \
            || { _wine_env_log "cannot write the colour scheme into the registry"; return 1; }
        wineserver -w >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.client-setup-colours"
    fi
    return 0
}

# On the private Xvfb every window lives in one Wine virtual desktop of the screen's
# size; on the user's display windows are ordinary X windows. The registry is only
# touched when the mode changes.
_wine_env_desktop_mode() {
    local want mark="$WINEPREFIX/.client-setup-desktop" key='HKCU\Software\Wine\Explorer'
    if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then want="virtual"; else want="host"; fi
    [ "$(cat "$mark" 2>/dev/null)" = "$want" ] && return 0
    if [ "$want" = virtual ]; then
        wine reg add "$key\\Desktops" /v Default /t REG_SZ /d "$WINE_ENV_SCREEN" /f >/dev/null 2>&1
        wine reg add "$key" /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    else
        wine reg delete "$key" /v Desktop /f >/dev/null 2>&1
    fi
    echo "$want" > "$mark"
}

# A tiny volume for the disk-full case. Mounting needs privileges; without them the
# tests that need it report themselves skipped.
_wine_env_small_volume() {
    local dir="$WINE_ENV_STATE_DIR/small-volume"
    WINE_ENV_MOUNTED_SMALL=""
    unset E2E_SMALL_DRIVE
    rm -f "$WINEPREFIX/dosdevices/s:"
    mkdir -p "$dir" 2>/dev/null || return 0
    if ! mountpoint -q "$dir" 2>/dev/null; then
        mount -t tmpfs -o size=128k,mode=0777 tmpfs "$dir" >/dev/null 2>&1 || return 0
        WINE_ENV_MOUNTED_SMALL="$dir"
    fi
    ln -sfn "$dir" "$WINEPREFIX/dosdevices/s:"
    export E2E_SMALL_DRIVE="S:"
}

wine_env_cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${WINE_ENV_MOUNTED_SMALL:-}" ]; then
        rm -f "$WINEPREFIX/dosdevices/s:"
        umount "$WINE_ENV_MOUNTED_SMALL" >/dev/null 2>&1 || umount -l "$WINE_ENV_MOUNTED_SMALL" >/dev/null 2>&1 || true
        WINE_ENV_MOUNTED_SMALL=""
    fi
    if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
        kill "$WINE_ENV_XVFB_PID" >/dev/null 2>&1 || true
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
        WINE_ENV_XVFB_PID=""
    fi
}

if _wine_env_main "$@"; then
    trap wine_env_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
else
    _wine_env_rc=$?
    wine_env_cleanup
    return "$_wine_env_rc" 2>/dev/null || exit "$_wine_env_rc"
fi
