#!/usr/bin/env bash
# Fails when the executable imports any DLL that a clean Windows PC does not have.
set -u
objdump=$1; exe=$2
allowed='^(kernel32|user32|gdi32|gdiplus|comctl32|ole32|oleaut32|wininet|shlwapi|shell32|advapi32|msvcrt|ws2_32|uxtheme|api-ms-win-crt-[a-z0-9-]+|ucrtbase)\.dll$'
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || { echo "no import table read from $exe"; exit 1; }
bad=$(echo "$dlls" | grep -Ev "$allowed")
echo "imports of $(basename "$exe"): $(echo $dlls)"
if [ -n "$bad" ]; then echo "not a Windows system DLL: $bad"; exit 1; fi
