#!/usr/bin/env bash
# scripts/sign-kit with a self-signed code-signing certificate made here, its password from
# standard input and from a file: the signed zip holds the unsigned one's files, its three
# programs verify with that certificate as the root, and its launcher.exe is still the shipped
# file (imports, header, size of the image) that starts, shows its picture and quits.
# usage: sign_kit_test.sh KIT_BUILD_DIR WORK_DIR OBJDUMP E2E_TESTS   (run by ctest in the Wine
#        environment of the prefix the launcher starts in)
set -euo pipefail
kit=$1
work=$2/sign-kit-test
objdump=$3
e2e=$4
top=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAIL: $*" >&2 && exit 1; }
rm -rf "$work"
mkdir -p "$work/unsigned" "$work/signed"
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Corvane test signer" -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=digitalSignature,keyCertSign" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
printf 'a test password\n' >password
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.pfx -passout file:password

export CORVANE_BUILD_DIR=$kit
"$top/scripts/sign-kit" cert.pfx </dev/null >wrong.log 2>&1 && fail "signed with an empty password"
"$top/scripts/sign-kit" cert.pfx <password >stdin.log || fail "password on stdin: $(cat stdin.log)"
"$top/scripts/sign-kit" cert.pfx --password-file password >file.log || fail "$(cat file.log)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$kit/CMakeCache.txt")
name=corvane-launcher-$version-win32
(cd unsigned && cmake -E tar xf "$kit/$name.zip")
(cd signed && cmake -E tar xf "$kit/$name-signed.zip")
[ "$(cd "unsigned/$name" && find . | sort)" = "$(cd "signed/$name-signed" && find . | sort)" ] ||
  fail "the signed zip holds other files: $(cd signed && find . | sort)"
for program in launcher.exe disccheck.exe mktitle.exe; do
  osslsigncode verify -CAfile cert.pem -in "signed/$name-signed/$program" >"verify-$program.log" 2>&1 ||
    fail "$program does not verify: $(cat "verify-$program.log")"
done
launcher=$work/signed/$name-signed/launcher.exe
python3 "$top/tests/pe_check.py" "$launcher" "$top/tests/win95_imports.txt" "$objdump"
cmake -DFILE="$launcher" -P "$top/tests/cmake/size_budget.cmake"
CORVANE_LAUNCHER=$launcher "$WINELOADER" "$e2e" '--gtest_filter=*PicturePainted*/DemoTitleRle8'
echo "OK: the kit's three programs signed and verified; the signed launcher.exe is the shipped file"
