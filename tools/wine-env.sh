# Sourced by the Wine scripts: where the build tree's Wine prefix and Xvfb state live.
# TARNWICK_BUILD_DIR names the build tree; without it, the folder of the program being run is searched upwards.
tarnwick_find_build_dir() {
  local d=$1
  while [ "$d" != "/" ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  [ -f "$d/CMakeCache.txt" ] && echo "$d"
}
if [ -z "${TARNWICK_BUILD_DIR:-}" ]; then
  TARNWICK_BUILD_DIR=$(tarnwick_find_build_dir "$(cd "$(dirname "${1:-.}")" && pwd)")
fi
: "${TARNWICK_BUILD_DIR:?cannot tell the build tree; set TARNWICK_BUILD_DIR}"
# TARNWICK_WINE_DPI asks for a display scale other than 96 DPI: a prefix of its own, whose LogPixels says so.
if [ -n "${TARNWICK_WINE_DPI:-}" ] && [ "$TARNWICK_WINE_DPI" != 96 ]; then
  export WINEPREFIX="$TARNWICK_BUILD_DIR/wineprefix-dpi$TARNWICK_WINE_DPI"
else
  export WINEPREFIX="$TARNWICK_BUILD_DIR/wineprefix"
fi
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
TARNWICK_XVFB_STATE="$TARNWICK_BUILD_DIR/xvfb.state"
