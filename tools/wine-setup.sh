#!/usr/bin/env bash
# Prepares Wine for the Windows tests: Xvfb where no display is set, and the prefix, created once.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh" "${1:-.}"

if [ -z "${DISPLAY:-}" ]; then
  if [ -f "$TARNWICK_XVFB_STATE" ]; then
    read -r num pid < "$TARNWICK_XVFB_STATE" || true
    if ! kill -0 "${pid:-0}" 2>/dev/null; then rm -f "$TARNWICK_XVFB_STATE"; fi
  fi
  if [ ! -f "$TARNWICK_XVFB_STATE" ]; then
    num=$((90 + RANDOM % 400))
    while [ -e "/tmp/.X${num}-lock" ]; do num=$((num + 1)); done
    Xvfb ":$num" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    # Wine must not start before the display answers, or its server stays without a display driver.
    for _ in $(seq 1 100); do
      xdpyinfo -display ":$num" >/dev/null 2>&1 && break
      sleep 0.1
    done
    echo "$num $pid" > "$TARNWICK_XVFB_STATE"
  fi
  tarnwick_use_xvfb_display
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # Never create the prefix under a DLL override: a prefix made under setupapi=n cannot load kernel32.
  env -u WINEDLLOVERRIDES wineboot -i >"$TARNWICK_BUILD_DIR/wineboot.log" 2>&1
  if [ "$WINEPREFIX" != "$TARNWICK_BUILD_DIR/wineprefix" ]; then
    # Wine reads the display scale from here when a program starts.
    env -u WINEDLLOVERRIDES wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
      /d "$TARNWICK_WINE_DPI" /f >>"$TARNWICK_BUILD_DIR/wineboot.log" 2>&1
  fi
  env -u WINEDLLOVERRIDES wineserver -w
fi

# Wine's own fonts (Tahoma, Marlett for the caption buttons, ...) from the fonts-wine package: this Wine does
# not look in their folder, so without them in the prefix it draws every window with a substitute font.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] && [ ! -e "$fonts/tahoma.ttf" ]; then
  for font in /usr/share/wine/fonts/*.ttf; do
    ln -sf "$font" "$fonts/$(basename "$font")"
  done
fi
