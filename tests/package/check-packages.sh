#!/usr/bin/env bash
# What scripts/package made, as a user gets it: the .deb's own programs run
# and carry a text file to the packaged virtual handheld and back, lintian
# finds no error, the zip holds the four files and a kestrel-cli.exe that
# runs under Wine, and the web zip holds the page, whole, of this version,
# loading nothing from elsewhere, within 1.5 MiB.
set -euo pipefail
trap 'echo "check-packages: failed at line $LINENO" >&2' ERR
cd "$(dirname "$0")/../.."
# Byte order for the zip listing, UTF-8 for its names and the texts.
export LC_ALL=C.UTF-8
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
deb=build/packages/kestrel_${version}_amd64.deb
zip=build/packages/KESTREL-$version-windows-x64.zip
scratch=$(mktemp -d)
simulator=
trap '[ -z "$simulator" ] || kill "$simulator" 2>/dev/null || true; rm -rf "$scratch"' EXIT

dpkg-deb -x "$deb" "$scratch/root"
cli=$scratch/root/usr/bin/kestrel-cli
[ "$("$cli" --version)" = "kestrel-cli $version" ]

mkdir "$scratch/handheld"
exec 3< <(exec "$cli" simulate --root "$scratch/handheld")
simulator=$!
read -r -t 10 port <&3
# UTF-8 in, GBK on the handheld, UTF-8 back: the packaged iconv is used too.
printf '文曲星\r\nround trip\r\n' >"$scratch/sent.txt"
"$cli" send "$scratch/sent.txt" --port "$port" >/dev/null
"$cli" receive "$scratch/back.txt" --dir 文本文件 --name sent.txt --port "$port" --utf8 >/dev/null
cmp "$scratch/sent.txt" "$scratch/back.txt"
kill "$simulator"

# Errors fail; warnings are shown.
lintian --fail-on error "$deb"

[ "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" = "KESTREL.exe LICENSE.txt kestrel-cli.exe 说明.txt " ]
unzip -q "$zip" -d "$scratch/windows"
# Texts for Notepad: CRLF line ends, and a byte-order mark on the Chinese one.
[[ $(head -n1 "$scratch/windows/LICENSE.txt") == *$'\r' ]]
[[ $(head -n1 "$scratch/windows/说明.txt") == $'\xef\xbb\xbf'*$'\r' ]]
shown=$(cmake/toolchains/wine-run "$PWD/build/packages/wine-prefix" "$scratch/windows/kestrel-cli.exe" --version)
[ "${shown%$'\r'}" = "kestrel-cli $version" ]
web=build/packages/KESTREL-$version-web.zip
unzip -q "$web" -d "$scratch/web"
for file in index.html style.css main.js kestrel.js kestrel.wasm LICENSE.txt; do
    [ -s "$scratch/web/$file" ]
done
grep -q "KESTREL $version" "$scratch/web/index.html"
grep -q "Content-Security-Policy\" content=\"default-src 'self'" "$scratch/web/index.html"
[ -z "$(grep -lE "(src|href)=\"(https?:)?//" "$scratch/web"/*.html || true)" ]
[ "$(cat "$scratch/web"/*.wasm "$scratch/web"/*.js "$scratch/web"/*.html "$scratch/web"/*.css | wc -c)" -le 1572864 ]
echo "check-packages: kestrel_${version}_amd64.deb, KESTREL-$version-windows-x64.zip and KESTREL-$version-web.zip pass"
