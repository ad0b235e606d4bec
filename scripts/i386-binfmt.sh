#!/usr/bin/env bash
# Makes 32-bit x86 Linux programs (Wine's i386 loader) run on a 64-bit kernel
# built without 32-bit support, as on some virtual machines: registers
# qemu-i386 with binfmt_misc behind a small launcher that reserves the whole
# 4 GiB guest address space, which Wine's fixed-address reservations need.
# Does nothing where 32-bit programs already run natively. Needs root.
#
# The emulator must be QEMU 8.1 or later. Older ones track guest pages one by
# one, and every mapping Wine makes walks its multi-gigabyte reservations page
# by page: a 32-bit program then needs three minutes of CPU before its first
# window, against five seconds with the interval trees of 8.1. Debian 12 ships
# 7.2, so the static qemu-i386 is taken from bookworm-backports (unpacked into
# our own directory; the system's QEMU packages are left alone).
set -euo pipefail

dir=/usr/local/libexec/dxvornik85
launcher=$dir/qemu-i386-launcher
binfmt=/proc/sys/fs/binfmt_misc/qemu-i386

emulated() { [ -r "$binfmt" ] && grep -qx enabled "$binfmt"; }
if ! emulated && /usr/lib/wine/wine --version > /dev/null 2>&1; then exit 0; fi

qemu_is_new_enough() {  # 8.1 or later
    local version
    version="$("$1" --version 2> /dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\.\([0-9]*\).*/\1 \2/p')"
    [ -n "$version" ] && read -r major minor <<< "$version" && { [ "$major" -gt 8 ] || { [ "$major" -eq 8 ] && [ "$minor" -ge 1 ]; }; }
}

mkdir -p "$dir"
qemu=""
for candidate in "$dir/qemu-i386" /usr/bin/qemu-i386-static /usr/bin/qemu-i386; do
    if [ -x "$candidate" ] && qemu_is_new_enough "$candidate"; then
        qemu="$candidate"
        break
    fi
done
if [ -z "$qemu" ]; then
    work="$(mktemp -d)"
    chmod 755 "$work"  # apt downloads as its own user
    trap 'rm -rf "$work"' EXIT
    # A private source list: the machine's own apt configuration is not touched.
    echo "deb http://deb.debian.org/debian bookworm-backports main" > "$work/backports.list"
    apt_private=(-o Dir::Etc::sourcelist="$work/backports.list" -o Dir::Etc::sourceparts=- -o APT::Get::List-Cleanup=0)
    apt-get "${apt_private[@]}" update -q
    (cd "$work" && apt-get "${apt_private[@]}" download qemu-user/bookworm-backports)
    dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386
    install -m 755 "$work/usr/bin/qemu-i386" "$dir/qemu-i386"
    qemu="$dir/qemu-i386"
    qemu_is_new_enough "$qemu" || { echo "i386-binfmt: $qemu is older than 8.1" >&2; exit 1; }
fi

build="$(mktemp -d)"
cat > "$build/launcher.c" << C
#include <stdlib.h>
#include <unistd.h>
/* binfmt_misc calls: launcher /path/to/program args... */
int main(int argc, char** argv) {
    (void)argc;
    setenv("QEMU_RESERVED_VA", "0xffff0000", 0);
    argv[0] = "$qemu";
    execv(argv[0], argv);
    return 127;
}
C
gcc -O2 -static -o "$build/launcher" "$build/launcher.c"
if ! cmp -s "$build/launcher" "$launcher"; then
    install -m 755 "$build/launcher" "$launcher"
    [ -e "$binfmt" ] && echo -1 > "$binfmt"
fi
rm -rf "$build"

mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
if [ -e "$binfmt" ]; then
    grep -q "$launcher" "$binfmt" && exit 0
    echo -1 > "$binfmt"
fi
printf '%s\n' ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$launcher:F" \
    > /proc/sys/fs/binfmt_misc/register
echo "i386-binfmt: 32-bit programs now run through $launcher ($qemu)"
