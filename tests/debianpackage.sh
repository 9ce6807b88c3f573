#!/usr/bin/env bash
# Makes the Debian package from a build folder, unpacks it into a scratch root and checks what it
# holds: the control fields, the file list, the empty log, the desktop entry, the software
# centre entry and the file types. Exits 77 (skipped) where the Debian tools are missing.
#   debianpackage.sh BUILD_DIR WORK_DIR VERSION EMPTY_LOG
set -euo pipefail
build="$1" work="$2" version="$3" empty_log="$4"

for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli \
    update-mime-database; do
    if ! command -v "$tool" >/dev/null; then
        echo "Skipped: $tool is not installed"
        exit 77
    fi
done

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/kx47_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one kx47_*.deb, found: ${debs[*]}"
deb="${debs[0]}"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kx47 ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version), not $version"
[ "$(field Section)" = hamradio ] || fail "section $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
[ -n "$(field Description)" ] || fail "no description"
depends="$(field Depends)"
for pkg in libqt6core6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite libqt6printsupport6 \
    libqt6svg6 qt6-qpa-plugins fonts-liberation2; do
    grep -Eq "(^|, )$pkg( |,|$)" <<<"$depends" || fail "Depends lacks $pkg: $depends"
done

root="$work/root"
dpkg -x "$deb" "$root"
files="$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | grep -v '^usr/share/kx47/Help/' | sort)"
expected="$(
    {
        printf '%s\n' usr/bin/kx47 usr/share/applications/kx47.desktop \
            usr/share/icons/hicolor/scalable/apps/kx47.svg usr/share/kx47/data.mdb \
            usr/share/kx47/places.mdb usr/share/metainfo/org.example.kx47.metainfo.xml \
            usr/share/mime/packages/kx47.xml usr/share/doc/kx47/copyright \
            usr/share/doc/kx47/changelog.gz usr/share/man/man1/kx47.1.gz
        for size in 16 22 24 32 48 64 128 256; do
            echo "usr/share/icons/hicolor/${size}x${size}/apps/kx47.png"
        done
    } | sort
)"
[ "$files" = "$expected" ] || fail "the package holds:
$files"
for help in index.htm Kx47_reg_eng.pdf; do
    [ -f "$root/usr/share/kx47/Help/$help" ] || fail "the package lacks Help/$help"
done
# It ships the empty log, never one that holds QSOs; the program is a stripped executable.
cmp -s "$root/usr/share/kx47/data.mdb" "$empty_log" || fail "data.mdb is not the empty log"
file -b "$root/usr/bin/kx47" | grep -q 'ELF.*executable.*stripped' ||
    fail "usr/bin/kx47: $(file -b "$root/usr/bin/kx47")"
file -b "$root/usr/bin/kx47" | grep -q 'not stripped' && fail "usr/bin/kx47 is not stripped"

# The desktop entry and the software centre entry validate; hints are no fault.
out="$(desktop-file-validate "$root/usr/share/applications/kx47.desktop" 2>&1)" ||
    fail "desktop-file-validate: $out"
! grep -Eq 'error|warning' <<<"$out" || fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.kx47.metainfo.xml" ||
    fail "appstreamcli validate"

# The file types the entry offers to open are those the package defines, by their extensions.
mime="$work/mime"
mkdir -p "$mime/packages"
cp "$root/usr/share/mime/packages/kx47.xml" "$mime/packages/"
update-mime-database "$mime" || fail "update-mime-database"
for pair in application/x-adif:\*.adi application/x-adif+xml:\*.adx application/x-reg1test:\*.edi; do
    grep -qxF "$pair" "$mime/globs" || fail "no glob $pair"
done
offered="$(sed -n 's/^MimeType=//p' "$root/usr/share/applications/kx47.desktop")"
[ "$offered" = "application/x-adif;application/x-adif+xml;application/x-reg1test;" ] || fail "MimeType=$offered"
grep -q '^Exec=kx47 %F$' "$root/usr/share/applications/kx47.desktop" || fail "Exec line"

# Debian's own checker finds neither errors nor warnings, where it is installed.
if command -v lintian >/dev/null; then
    out="$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1)" ||
        fail "lintian: $out"
    echo "$out"
else
    echo "lintian is not installed: the package was not checked by it"
fi

echo "The package $deb holds what it should."
rm -rf "$work"
