#!/usr/bin/env bash
# Makes the Debian package from a build folder with CPack and checks it as a user's apt would
# see it: its files, its control fields and dependencies, and the unpacked programs run from
# another folder.
#   check-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    exit 1
fi
debs=("$work"/out/dravena_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { echo "FAIL: no single package in $work/out" >&2; exit 1; }
deb=${debs[0]}
[[ $(basename "$deb") == "dravena_${version}_$(dpkg --print-architecture).deb" ]] ||
    fail "package file named $(basename "$deb")"

# Files: the two programs, what they look for in share/dravena, desktop entry, icons, AppStream
# description, manual pages, copyright and change log.
dpkg-deb -c "$deb" | awk '{ print $1, $6 }' >"$work/contents"
for entry in \
    "-rwxr-xr-x ./usr/bin/dravena" \
    "-rwxr-xr-x ./usr/bin/dravena-cli" \
    "-rw-r--r-- ./usr/share/dravena/HAND-M.CUR" \
    "-rw-r--r-- ./usr/share/dravena/x/o.cjs" \
    "-rw-r--r-- ./usr/share/dravena/Samples/CUSTOMER.DB" \
    "-rw-r--r-- ./usr/share/dravena/Samples/CUSTOMER.MB" \
    "-rw-r--r-- ./usr/share/dravena/Samples/ORDERS.DB" \
    "-rw-r--r-- ./usr/share/dravena/Samples/PARTS.DB" \
    "-rw-r--r-- ./usr/share/dravena/Samples/PARTS.MB" \
    "-rw-r--r-- ./usr/share/applications/dravena.desktop" \
    "-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/dravena.png" \
    "-rw-r--r-- ./usr/share/icons/hicolor/64x64/apps/dravena.png" \
    "-rw-r--r-- ./usr/share/icons/hicolor/128x128/apps/dravena.png" \
    "-rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/dravena.png" \
    "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/dravena.svg" \
    "-rw-r--r-- ./usr/share/metainfo/example.velmora.dravena.metainfo.xml" \
    "-rw-r--r-- ./usr/share/man/man1/dravena.1.gz" \
    "-rw-r--r-- ./usr/share/man/man1/dravena-cli.1.gz" \
    "-rw-r--r-- ./usr/share/bash-completion/completions/dravena-cli" \
    "-rw-r--r-- ./usr/share/doc/dravena/copyright" \
    "-rw-r--r-- ./usr/share/doc/dravena/changelog.gz"; do
    grep -qxF -- "$entry" "$work/contents" || fail "missing: $entry"
done
# Nothing but those files and their folders: no tests, benchmarks or build tools.
if grep -v '^d' "$work/contents" | grep -v -e ' ./usr/bin/dravena\(-cli\)\?$' \
    -e ' ./usr/share/dravena/' -e ' ./usr/share/applications/dravena.desktop$' \
    -e ' ./usr/share/icons/hicolor/[0-9x]*/apps/dravena.png$' \
    -e ' ./usr/share/icons/hicolor/scalable/apps/dravena.svg$' \
    -e ' ./usr/share/metainfo/example.velmora.dravena.metainfo.xml$' \
    -e ' ./usr/share/man/man1/dravena\(-cli\)\?.1.gz$' \
    -e ' ./usr/share/bash-completion/completions/dravena-cli$' \
    -e ' ./usr/share/doc/dravena/\(copyright\|changelog.gz\)$' >"$work/stray"; then
    fail "files that do not belong: $(tr '\n' ' ' <"$work/stray")"
fi

# Control fields; the dependencies computed by dpkg-shlibdeps plus the two loaded at run time.
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == dravena ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version)"
[[ $(field Section) == database ]] || fail "Section: $(field Section)"
[[ $(field Maintainer) == *@* ]] || fail "Maintainer: $(field Maintainer)"
[[ -n $(field Description) ]] || fail "no Description"
depends=$(field Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//')
for package in libqt6sql6-odbc unixodbc fonts-liberation2 libqt6core6 libqt6gui6 libqt6widgets6 \
    libqt6sql6 libc6 libstdc++6; do
    grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done

# Debian policy as lintian checks it: no error and no warning.
lintian_output=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $lintian_output"
if grep -q '^[EW]: ' <<<"$lintian_output"; then fail "lintian: $lintian_output"; fi

# Unpacked: the desktop entry and AppStream description validate, the manual pages render
# without warnings, the copyright file is in the machine-readable format, and the programs run
# from another folder.
dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
validation=$(desktop-file-validate "$usr/share/applications/dravena.desktop" 2>&1) ||
    fail "desktop-file-validate: $validation"
[[ -z $validation ]] || fail "desktop-file-validate: $validation"
appstream=$(appstreamcli validate --no-net "$usr/share/metainfo/example.velmora.dravena.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $appstream"
for page in dravena dravena-cli; do
    warnings=$(zcat "$usr/share/man/man1/$page.1.gz" | groff -ww -z -man -Tutf8 2>&1) ||
        fail "groff $page: $warnings"
    [[ -z $warnings ]] || fail "groff $page: $warnings"
done
head -n 1 "$usr/share/doc/dravena/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright is not in the machine-readable format"
for size in 48 64 128 256; do
    [[ $(identify -format '%wx%h' "$usr/share/icons/hicolor/${size}x$size/apps/dravena.png" 2>/dev/null) == \
        "${size}x$size" ]] || fail "the ${size}x$size icon is not ${size}x$size"
done
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/dravena" --help | head -n 1) == \
    "Usage: dravena [-h | --help | --version]" ]] || fail "dravena --help"
mkdir "$work/elsewhere"
cd "$work/elsewhere"
[[ $("$usr/bin/dravena-cli" --version) == "dravena-cli $version" ]] || fail "dravena-cli --version"
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/dravena" --version) == \
    "dravena $version" ]] || fail "dravena --version"
sql=$("$usr/bin/dravena-cli" sql --folder "$usr/share/dravena/Samples" CUSTOMER) ||
    fail "dravena-cli sql on the installed samples"
[[ $(head -n 1 <<<"$sql") == 'SET DEFINE OFF' ]] || fail "sql printed: $(head -n 1 <<<"$sql")"
[[ $(grep -c '^CREATE TABLE "CUSTOMER"(' <<<"$sql") -eq 1 ]] || fail "sql: no CREATE TABLE"
[[ $(grep -c '^INSERT INTO "CUSTOMER" ' <<<"$sql") -eq 55 ]] || fail "sql: not 55 rows"

[[ $failures -eq 0 ]] || exit 1
echo "package $(basename "$deb") checked; Depends: $depends"
