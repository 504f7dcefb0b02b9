#!/usr/bin/env bash
# Runs atspi_test.py on a virtual display with a D-Bus session of its own, so that the window is
# read through the AT-SPI accessibility bus the way a screen reader reads it.
# Usage: atspi_test.sh QLOR_BINARY
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Debian's python3-pyatspi belongs to the system's Python, which may not be the first on PATH.
python=python3
for candidate in /usr/bin/python3 python3; do
    if "$candidate" -c "import pyatspi" 2>/dev/null; then
        python=$candidate
        break
    fi
done
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
chmod 700 "$XDG_RUNTIME_DIR"
# The D-Bus session runs inside the virtual display, so that the accessibility registry it starts
# knows the display and can type keys into it.
xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- "$python" "$here/atspi_test.py" "$1"
