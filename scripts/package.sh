#!/usr/bin/env bash
# Builds the Debian package build/package/kavlon2_<version>_<arch>.deb and
# checks it: its metadata and dependencies, its file list, the metainfo, the
# desktop entry and manual pages, the binaries (stripped, no run path, the
# data folder under /usr), and that lintian reports no errors.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/package
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
echo "== package build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DKAVLON_BUILD_TESTS=OFF -DKAVLON_BUILD_BENCH=OFF -DKAVLON_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j 2
rm -f "$build"/kavlon2_*.deb
(cd "$build" && cpack -G DEB >/dev/null)

failures=0
fail() { echo "package check failed: $*" >&2; failures=$((failures + 1)); }

shopt -s nullglob
debs=("$build"/kavlon2_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one kavlon2_*.deb in $build, found ${#debs[@]}" >&2; exit 1; }
deb=${debs[0]}
version=$(sed -n 's/^project(Kavlon2 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "kavlon2_${version}_${arch}.deb" ] || fail "file name $(basename "$deb")"

# Metadata.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kavlon2 ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), project $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
# From the binaries (the toolkit and the C++ runtime) and those loaded at run time.
for d in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
         qt6-qpa-plugins qt6-translations-l10n fonts-liberation2; do
  tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$d" || fail "Depends lacks $d: $depends"
done

# File list: exactly the installed tree, all below /usr.
listed=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#')
expected=(
  /usr/bin/kavlon /usr/bin/kavlon-sim
  /usr/share/kavlon2/Kavlon.hlp
  /usr/share/applications/kavlon2.desktop
  /usr/share/metainfo/org.example.kavlon2.metainfo.xml
  /usr/share/man/man1/kavlon.1.gz /usr/share/man/man1/kavlon-sim.1.gz
  /usr/share/man/de/man1/kavlon.1.gz
  /usr/share/doc/kavlon2/copyright /usr/share/doc/kavlon2/changelog.gz
  /usr/share/doc/kavlon2/kavlon-window.png
)
for size in 16 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/kavlon2.png")
done
for f in versuche/*.kversuch; do
  expected+=("/usr/share/kavlon2/versuche/$(basename "$f")")
done
for f in "${expected[@]}"; do
  grep -qxF "$f" <<<"$listed" || fail "missing $f"
done
extra=$(grep -v '/$' <<<"$listed" | grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)
[ -z "$extra" ] || fail "files nobody expects: $extra"
! grep -qv '^/usr/' <<<"$listed" || fail "files outside /usr: $(grep -v '^/usr/' <<<"$listed")"

# The unpacked contents.
tree=$(mktemp -d "${TMPDIR:-/tmp}/kavlon-deb.XXXXXX")
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
for b in kavlon kavlon-sim; do
  file -b "$tree/usr/bin/$b" | grep -q ', stripped' || fail "$b is not stripped"
  ! readelf -d "$tree/usr/bin/$b" | grep -Eq 'RPATH|RUNPATH' || fail "$b has a run path"
done
grep -aq '/usr/share/kavlon2' "$tree/usr/bin/kavlon" || fail "kavlon does not look in /usr/share/kavlon2"
[ "$("$tree/usr/bin/kavlon-sim" --version)" = "kavlon-sim $version" ] \
  || fail "kavlon-sim --version says: $("$tree/usr/bin/kavlon-sim" --version)"
cmp -s help/Kavlon.hlp "$tree/usr/share/kavlon2/Kavlon.hlp" || fail "the help file differs from help/"
appstreamcli validate --no-net --pedantic "$tree/usr/share/metainfo/org.example.kavlon2.metainfo.xml" \
  >/dev/null || fail "appstreamcli validate"
grep -q '<summary>' "$tree/usr/share/metainfo/org.example.kavlon2.metainfo.xml" \
  || fail "no English summary"
grep -q '<summary xml:lang="de">' "$tree/usr/share/metainfo/org.example.kavlon2.metainfo.xml" \
  || fail "no German summary"
grep -q '<screenshot type="default">' "$tree/usr/share/metainfo/org.example.kavlon2.metainfo.xml" \
  || fail "no screenshot"
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$tree/usr/share/applications/kavlon2.desktop" || fail "desktop entry"
fi
for page in man1/kavlon.1.gz man1/kavlon-sim.1.gz de/man1/kavlon.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$tree/usr/share/man/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "manual page $page: $warnings"
done

# Lintian: no errors (warnings are listed for the reader).
if command -v lintian >/dev/null 2>&1; then
  report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'root privileges' || true)
  [ -n "$report" ] && echo "$report"
  ! grep -q '^E: ' <<<"$report" || fail "lintian reports errors"
else
  fail "lintian is not installed (scripts/deps.sh installs it)"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures package check(s) failed for $deb" >&2
  exit 1
fi
echo "package ok: $deb ($(du -k "$deb" | cut -f1) KiB)"
