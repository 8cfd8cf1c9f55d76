#!/usr/bin/env bash
# The product's boundary: a PE32 i386 DLL with exactly the two exports, importing
# only Windows system DLLs, carrying the version resource.
set -uo pipefail
dll=${1:-build/win32/Tarnwick.dll}
status=0
file "$dll" | grep -q 'PE32 executable (DLL).*Intel 80386' || { echo "check-dll: not a PE32 i386 DLL"; status=1; }

exports=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  grep -E '^\s+\[ *[0-9]+\]' | awk '{print $NF}' | sort -u | tr '\n' ' ')
[ "$exports" = "plugin_main plugin_version " ] || { echo "check-dll: exports are: $exports"; status=1; }

system='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|OLE32|OLEAUT32|WS2_32|VERSION|ADVAPI32|msvcrt)\.dll$'
while read -r name; do
  [[ "${name^^}" =~ ${system^^} ]] || { echo "check-dll: imports non-system $name"; status=1; }
done < <(i686-w64-mingw32-objdump -p "$dll" | awk '/DLL Name:/ {print $3}')

strings -el "$dll" | grep -q '1.2.0.137' || { echo "check-dll: version 1.2.0.137 missing"; status=1; }
for entry in 'Tarnwick for Trillian' 'Tarnwick.dll'; do
  strings -el "$dll" | grep -qx "$entry" || { echo "check-dll: version entry \"$entry\" missing"; status=1; }
done
[ $status -eq 0 ] && echo "check-dll: $dll: exports plugin_main plugin_version, system imports only, version 1.2.0.137"
exit $status
