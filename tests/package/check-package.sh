#!/usr/bin/env bash
# Packs BUILD's programs with scripts/make-deb into a scratch directory, checks the package's files
# and control fields, unpacks it into a scratch root and runs the unpacked engine there with only
# the system settings file present. Exit status 77 (a skip) without dpkg-dev or ImageMagick.
#   tests/package/check-package.sh BUILD
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:?usage: check-package.sh BUILD}
for tool in dpkg-deb dpkg-shlibdeps dpkg-gencontrol convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps installs it)"; exit 77; }
done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/qx-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

deb=$("$source_dir/scripts/make-deb" "$build" "$scratch/out" | tail -1) || { echo "FAIL: make-deb"; exit 1; }
[ -f "$deb" ] || { echo "FAIL: no package at '$deb'"; exit 1; }
echo "package: $(basename "$deb")"

listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in usr/games/quintarex usr/games/quintarex-tool usr/share/man/man6/quintarex.6.gz \
    usr/share/man/man6/quintarex-tool.6.gz usr/share/games/plugins/xboard/quintarex.eng \
    usr/share/games/plugins/logos/quintarex.png usr/share/doc/quintarex/copyright \
    usr/share/doc/quintarex/changelog.Debian.gz usr/share/doc/quintarex/README.md \
    usr/share/doc/quintarex/quintarex.ini etc/quintarex/quintarex.ini; do
    grep -qx "\./$path" <<<"$listing" || fail "$path is not in the package"
done
if grep -q '^\./usr/lib/quintarex/' <<<"$listing"; then
    for program in quintarex quintarex-tool; do
        for level in x86-64 x86-64-v2 x86-64-v3; do
            grep -qx "\./usr/lib/quintarex/$program-$level" <<<"$listing" || fail "no $program for $level"
        done
    done
fi
unexpected=$(grep -v -e '/$' -e '^\./usr/games/' -e '^\./usr/lib/quintarex/' -e '^\./usr/share/man/man6/' \
    -e '^\./usr/share/games/plugins/' -e '^\./usr/share/doc/quintarex/' -e '^\./etc/quintarex/' <<<"$listing")
[ -z "$unexpected" ] || fail "files outside the layout: $unexpected"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quintarex ] || fail "Package: $(field Package)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority: $(field Priority)"
[ "$(field Suggests)" = "xboard | pychess | gnome-chess" ] || fail "Suggests: $(field Suggests)"
[ "$(field Architecture)" = "$(dpkg-architecture -qDEB_HOST_ARCH)" ] || fail "Architecture: $(field Architecture)"
for library in libc6 libstdc++6; do
    grep -q "\b$library (>= " <<<"$(field Depends)" || fail "Depends lacks $library: $(field Depends)"
done
[ -n "$(field Description)" ] || fail "no Description"
engine_version=$(echo quit | "$build/quintarex" | sed -n 's/^version //p')
[ "${engine_version:-none}" = "$(field Version | sed 's/-[^-]*$//')" ] ||
    fail "package version $(field Version) is not the engine's $engine_version (packaging/debian/changelog)"
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx /etc/quintarex/quintarex.ini ||
    fail "/etc/quintarex/quintarex.ini is not a conffile"

root=$scratch/root
dpkg -x "$deb" "$root"
# xboard's plugin file: its format's header line as the project's file has it, the command, the variants.
eng="$root/usr/share/games/plugins/xboard/quintarex.eng"
cmp -s "$source_dir/packaging/quintarex.eng" "$eng" && [ "$(sed -n 2,3p "$eng" | tr '\n' ' ')" = "quintarex chess,fischerandom " ] &&
    [ "$(wc -l <"$eng")" -eq 3 ] || fail "quintarex.eng: $(cat "$eng")"
size=$(identify -format '%wx%h' "$root/usr/share/games/plugins/logos/quintarex.png" 2>/dev/null)
[ "$size" = 100x50 ] || fail "the logo is '$size', not 100x50"

# The unpacked engine in an empty directory, with an empty home: only the system file can set the
# hash size, which the console's "param" lists.
mkdir -p "$scratch/cwd" "$scratch/home"
hash_size() {
    (cd "$scratch/cwd" && printf 'console\nparam\nquit\n' |
        env -u XDG_CONFIG_HOME HOME="$scratch/home" QX_SYSTEM_INI="$1" "$root/usr/games/quintarex" |
        sed -n 's/^hashSize: *//p')
}
[ "$(hash_size "$root/etc/quintarex/quintarex.ini")" = "256 MB" ] ||
    fail "the system file's HashSize is not read: $(hash_size "$root/etc/quintarex/quintarex.ini")"
[ "$(hash_size "$scratch/none.ini")" = "4096 MB" ] || fail "without any file: $(hash_size "$scratch/none.ini")"
# Each level's tool, started through the launcher, searches the same tree; a level this processor
# lacks stops on an illegal instruction (status 132) and is left out.
if [ -d "$root/usr/lib/quintarex" ]; then
    for level in x86-64 x86-64-v2 x86-64-v3; do
        bench=$(QX_CPU_LEVEL=$level "$root/usr/games/quintarex-tool" bench search 7 2>&1)
        status=$?
        if [ "$status" -eq 132 ]; then echo "$level: not supported here"; continue; fi
        signature=$(sed -n 's/^Signature: //p' <<<"$bench")
        [ "$status" -eq 0 ] && [ "$signature" = 678376 ] || fail "$level: status $status, Signature $signature"
    done
fi

# The launcher itself, in a tree of stand-ins that print their level and arguments: it starts the
# level asked for, else the highest this processor has, passing the arguments on.
if [ -x "$build/quintarex-launcher" ]; then
    mkdir -p "$scratch/tree/games" "$scratch/tree/lib/quintarex"
    cp "$build/quintarex-launcher" "$scratch/tree/games/quintarex-tool"
    for level in x86-64 x86-64-v2 x86-64-v3; do
        printf '#!/bin/sh\necho %s "$@"\n' "$level" >"$scratch/tree/lib/quintarex/quintarex-tool-$level"
        chmod 755 "$scratch/tree/lib/quintarex/quintarex-tool-$level"
        started=$(QX_CPU_LEVEL=$level "$scratch/tree/games/quintarex-tool" bench "a b")
        [ "$started" = "$level bench a b" ] || fail "QX_CPU_LEVEL=$level started '$started'"
    done
    highest=x86-64
    flags=$(grep -m1 '^flags' /proc/cpuinfo)
    has() { for f in "$@"; do grep -qw "$f" <<<"$flags" || return 1; done; }
    has popcnt sse4_2 ssse3 cx16 && highest=x86-64-v2
    has avx2 bmi1 bmi2 fma movbe f16c xsave && [ $highest = x86-64-v2 ] && highest=x86-64-v3  # lzcnt: not always listed
    [ "$(env -u QX_CPU_LEVEL "$scratch/tree/games/quintarex-tool")" = "$highest" ] ||
        fail "the launcher did not start $highest here"
    QX_CPU_LEVEL=x86-64-v9 "$scratch/tree/games/quintarex-tool" 2>/dev/null
    [ $? -eq 127 ] || fail "an unknown QX_CPU_LEVEL is not refused"
fi

if command -v lintian >/dev/null; then
    lintian --fail-on error --suppress-tags initial-upload-closes-no-bugs "$deb" || fail "lintian reports errors"
else
    echo "lintian is not installed: not run"
fi
[ "$failures" -eq 0 ] && echo "package checks passed"
[ "$failures" -eq 0 ]
