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

# Where no display is set: the Xvfb that wine-setup.sh started and recorded.
tarnwick_use_xvfb_display() {
  if [ -z "${DISPLAY:-}" ] && [ -f "$TARNWICK_XVFB_STATE" ]; then
    local num
    read -r num _ < "$TARNWICK_XVFB_STATE"
    export DISPLAY=":$num"
  fi
}

# tarnwick_result_written <file> [<output to look at>]: the desktop's explorer does not pass a program's exit
# code on, so a program run on it writes a file that tells; without the file, the program did not finish.
tarnwick_result_written() {
  [ -f "$1" ] && return 0
  echo "no $(basename "$1"): the program did not finish${2:+ (see $2)}"
  return 1
}
