#!/usr/bin/env bash
# Cross-builds the module as VX70DEF.DLL (cmake/mingw-i686.cmake) into its
# own build directory and checks what a Windows host relies on: an i386
# PE32 DLL; the export directory holding exactly the rows of
# frame/exports.tsv, names sorted for the loader's search; every export
# popping its own arguments; the resources byte for byte as compiled; and
# imports from the package's DLLs and Windows only.
#
# Usage: module_dll.sh <source dir> <build dir> [compiler launcher]
set -euo pipefail

source_dir=$1
build_dir=$2
launcher=${3:-}
readobj=$(command -v llvm-readobj || command -v llvm-readobj-14)
objdump=$(command -v llvm-objdump || command -v llvm-objdump-14)
pe_objdump=i686-w64-mingw32-objdump

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! log=$({ cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" \
  ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher} &&
  cmake --build "$build_dir"; } 2>&1); then
  echo "$log"
  echo "FAIL: the Windows build"
  exit 1
fi
dll=$build_dir/bin/VX70DEF.DLL
res=$build_dir/frame/vx70def.res
table=$source_dir/frame/exports.tsv

# ---- The file: i386, PE32 (not PE32+), a DLL --------------------------------
headers=$("$readobj" --file-headers "$dll")
for want in "Machine: IMAGE_FILE_MACHINE_I386" "IMAGE_FILE_DLL (" "Magic: 0x10B"; do
  grep -qF "$want" <<<"$headers" || fail "file headers lack \"$want\""
done

# ---- Exports ---------------------------------------------------------------
# Names in the order of the name pointer table, with their ordinals.
base=$("$pe_objdump" -p "$dll" | sed -n 's/^Export Address Table -- Ordinal Base \([0-9]*\)$/\1/p')
names=$("$pe_objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n "s/^\t\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p" | awk -v base="$base" '{print $1 + base, $2}')
expected=$(awk -F'\t' '/^[0-9]/ {print $1, $2}' "$table" | LC_ALL=C sort -k2,2)
[[ $names == "$expected" ]] ||
  fail "export names (ordinal name, in table order) differ:
$(diff <(echo "$expected") <(echo "$names"))"

# Ordinal -> address; unused ordinals hold 0, and rows share an address
# exactly when they name the same function (23 and 34; DllMain's two names).
declare -A rva_of
while read -r ordinal rva _; do rva_of[$ordinal]=$rva; done < <(
  "$objdump" -p "$dll" | sed -n '/^Export Table:/,/^$/p' | awk '$1 ~ /^[0-9]+$/')
declare -A function_at address_of
while IFS=$'\t' read -r ordinal name function _; do
  rva=${rva_of[$ordinal]:-0}
  [[ $rva != 0 ]] || fail "ordinal $ordinal ($name) has no address"
  [[ ${function_at[$rva]:-$function} == "$function" ]] ||
    fail "ordinal $ordinal ($function) shares its address with ${function_at[$rva]}"
  [[ ${address_of[$function]:-$rva} == "$rva" ]] ||
    fail "ordinal $ordinal ($function) is not at the address of the function's other row"
  function_at[$rva]=$function
  address_of[$function]=$rva
done < <(grep '^[0-9]' "$table")
for ordinal in "${!rva_of[@]}"; do
  grep -q "^$ordinal"$'\t' "$table" || [[ ${rva_of[$ordinal]} == 0 ]] ||
    fail "ordinal $ordinal is exported but not in the table"
done

# Each export is the module's own code (not a stand-in of the run-time's,
# such as its default DllMain, which the linker takes silently when the
# module's is missing) and pops its arguments: the handlers 24 bytes (six),
# DllMain 12, GetControlAccountNo 4, at every ret.
declare -A pops=([DllMain]=12 [_DllMain@12]=12 [GetControlAccountNo]=4)
image_base=$(sed -n 's/^ *ImageBase: 0x\(.*\)$/\1/p' <<<"$headers")
code=$("$objdump" -d --no-show-raw-insn "$dll" | awk '
  /^[0-9a-f]+ <.*>:$/ { start = $1; next }
  $2 == "retl" || $2 == "ret" { print start, ($3 == "" ? "$0" : $3) }')
while IFS=$'\t' read -r ordinal name _; do
  address=$(printf '%08x' $((0x$image_base + ${rva_of[$ordinal]:-0})))
  source=$(i686-w64-mingw32-addr2line -e "$dll" "0x$address")
  [[ $source =~ /(frame|company|ledgers|codes|system)/[a-z_]+\.cpp:[0-9]+ ]] ||
    fail "ordinal $ordinal ($name) is code of $source, not of the module"
  want="\$${pops[$name]:-24}"
  got=$(awk -v a="$address" '$1 == a {print $2}' <<<"$code" | sort -u | tr '\n' ' ')
  [[ $got == "$want " ]] || fail "ordinal $ordinal ($name) returns with \"${got:-no ret}\", not $want"
done < <(grep '^[0-9]' "$table")

# ---- Resources: type, name, language and bytes, as in the .res -------------
# Both dumps give long data as a hex dump block ("0000: 96071800 ... |..|"
# up to ")"); a .res gives short data on one line ("Data:: (10 01 ...)").
hex_blocks='
  /^ *Data:* \($/ { bytes = ""; inside = 1; next }
  inside && /^ *\)$/ { print type "/" name "/" language, tolower(bytes); inside = 0; next }
  inside { sub(/^ *[0-9A-F]+: /, ""); sub(/\|.*$/, ""); gsub(/ /, ""); bytes = bytes $0 }'
from_res=$("$readobj" "$res" | awk '
  /^Resource type/ { sub(/^[^:]*: /, ""); type = $0 }
  /^Resource name/ { sub(/^[^:]*: /, ""); name = $0 }
  /^Language ID:/ { language = $3 }
  /^Data:: \(.*\)$/ { sub(/^Data:: \(/, ""); sub(/\)$/, ""); gsub(/ /, "")
                      print type "/" name "/" language, tolower($0) }'"$hex_blocks" | sort)
from_dll=$("$readobj" --coff-resources "$dll" | awk '
  function id(s) { sub(/^[^:]*: (\(ID )?/, "", s); sub(/\)? \[$/, "", s); return s }
  /^  Type: / { type = $0; sub(/^  Type: /, "", type); sub(/ \[$/, "", type) }
  /^    Name: / { name = id($0) }
  /^      Language: / { language = id($0) }'"$hex_blocks" | sort)
[[ $(wc -l <<<"$from_res") -gt 100 ]] || fail "resources not read from $res"
[[ $from_dll == "$from_res" ]] ||
  fail "resources differ from the .res:
$(diff <(cut -c1-120 <<<"$from_res") <(cut -c1-120 <<<"$from_dll") | head -20)"

# ---- Imports: the package's DLLs and Windows' --------------------------------
allowed=" VX70DE32.DLL VX70COM.DLL VX70DLG.DLL VX70ACC.DLL VX70UT32.DLL VX70FL32.DLL "
allowed+="VX70GLOB.DLL VX70GV.DLL VX70ND32.DLL VXLOGO32.DLL "
allowed+="KERNEL32.DLL USER32.DLL COMDLG32.DLL MSVCRT.DLL "
while read -r imported; do
  [[ $allowed == *" ${imported^^} "* ]] || fail "imports $imported"
done < <("$readobj" --coff-imports "$dll" | sed -n 's/^ *Name: \(.*\.[Dd][Ll][Ll]\)$/\1/p')

((failures == 0)) && echo "VX70DEF.DLL: exports, returns, resources and imports as expected"
exit $((failures > 0))
