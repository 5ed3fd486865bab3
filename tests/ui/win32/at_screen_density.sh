#!/bin/sh
# Runs a Windows test program under Wine with the desktop set to DPI dots per inch (Wine's
# LogPixels, which each program reads when it starts), and puts the setting back afterwards:
#   at_screen_density.sh DPI PROGRAM.exe [ARGUMENT...]
set -u
dpi=$1
shift
key='HKCU\Control Panel\Desktop'
before=$(wine reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }')
set_density() { wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
restore() {
  if [ -n "$before" ]; then set_density "$((before))"; else wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1; fi
}
set_density "$dpi" || { echo "at_screen_density: the Wine registry cannot be written" >&2; exit 1; }
trap restore EXIT
wine "$@"
