#!/usr/bin/env bash
# The Windows package under Wine: the zip's folder runs where it is unpacked; the installer run
# silently puts the program into Program Files with its Start menu entry, its entry in the list
# of apps and the .ign association, the installed program starts, and the uninstaller removes
# all of it again.
# usage: package.sh PACKAGE-FOLDER (holding zentrola-92-windows-x64.zip and zentrola-92-setup.exe)
set -uo pipefail
package=$1
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
prefix=${WINEPREFIX:-$HOME/.wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # what, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]" >&2
    failures=$((failures + 1))
  else
    echo "ok: $1"
  fi
}
regvalue() { # key, value name: the data, or nothing
  "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# A start that shows the window and closes it: exit 0, and the settings file written.
starts() { # program, settings folder
  ZENTROLA_CONFIG_DIR=$2 QT_QPA_PLATFORM=offscreen "$wine" "$1" --quit-after-start \
    >"$work/start.log" 2>&1
  echo "$?:$(ls "$2" 2>/dev/null | grep -c '^ZENTROLA_v92.ini$')"
}

zip=$(ls "$package"/zentrola-*-windows-x64.zip)
setup=$(ls "$package"/zentrola-*-setup.exe)

# The zip: unpacked into a folder of the Wine drive, it runs from there.
unzip -q "$zip" -d "$prefix/drive_c/unpacked"
folder=$(ls -d "$prefix"/drive_c/unpacked/zentrola-*)
check "zip: the four manuals and the licence" 5 \
  "$(ls "$folder" | grep -cE '^(manual_zentrola_(en|de|fr|cz)\.pdf|LICENSE\.txt)$')"
check "zip: Qt's translations" 3 "$(ls "$folder/translations" | grep -c '^qtbase_..\.qm$')"
check "zip: the window starts" "0:1" "$(starts "$folder/zentrola.exe" "$work/zip-config")"
"$wine" "$folder/zentrola-cli.exe" --help >"$work/help" 2>&1
check "zip: the command line program starts" 0 "$?"
check "zip: its help names a COM port" 1 "$(grep -c 'for example COM5' "$work/help")"
rm -rf "$prefix/drive_c/unpacked"

# The installer, silently.
"$wine" "$setup" /S
check "setup: exit" 0 "$?"
installed="$prefix/drive_c/Program Files/ZENTROLA Configurator"
check "setup: the program in Program Files" yes \
  "$([ -f "$installed/zentrola.exe" ] && [ -f "$installed/platforms/qwindows.dll" ] && echo yes)"
check "setup: the Start menu entry" yes \
  "$([ -f "$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZENTROLA Configurator.lnk" ] && echo yes)"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZENTROLA Configurator'
check "setup: the entry in the list of apps" "ZENTROLA Configurator" "$(regvalue "$uninstall_key" DisplayName)"
check "setup: its uninstaller" '"C:\Program Files\ZENTROLA Configurator\uninstall.exe"' \
  "$(regvalue "$uninstall_key" UninstallString)"
check "setup: .ign files open in the program" \
  '"C:\Program Files\ZENTROLA Configurator\zentrola.exe" "%1"' \
  "$(regvalue 'HKLM\Software\Classes\ZENTROLA.ParameterFile\shell\open\command' '(Default)')"
check "setup: the installed window starts" "0:1" "$(starts "$installed/zentrola.exe" "$work/config")"

# The uninstaller hands over to a copy of itself and returns at once: wait for the folder.
"$wine" "$installed/uninstall.exe" /S
check "uninstall: exit" 0 "$?"
for _ in $(seq 120); do
  [ -d "$installed" ] || break
  sleep 0.25
done
check "uninstall: the folder is gone" no "$([ -d "$installed" ] && echo yes || echo no)"
check "uninstall: the list of apps forgets it" "" "$(regvalue "$uninstall_key" DisplayName)"
check "uninstall: the association is gone" "" \
  "$(regvalue 'HKLM\Software\Classes\.ign' '(Default)')"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
