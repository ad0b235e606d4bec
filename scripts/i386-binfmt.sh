#!/usr/bin/env bash
# Makes 32-bit x86 Linux programs (Wine's i386 loader) run on a 64-bit kernel
# built without 32-bit support, as on some virtual machines: registers
# qemu-i386-static with binfmt_misc behind a small launcher that reserves the
# whole 4 GiB guest address space, which Wine's fixed-address reservations need.
# Does nothing where 32-bit programs already run natively. Needs root.
set -euo pipefail

probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
printf 'int main(void){return 0;}\n' > "$probe/p.c"
if ! gcc -m32 -static -o "$probe/p" "$probe/p.c" 2>/dev/null; then
  # No 32-bit toolchain to probe with: ask the Wine loader itself.
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then exit 0; fi
elif "$probe/p" 2>/dev/null; then
  exit 0
fi

launcher=/usr/local/libexec/dxvornik85/qemu-i386-launcher
if [ ! -x "$launcher" ]; then
  mkdir -p "$(dirname "$launcher")"
  cat > "$probe/launcher.c" <<'C'
#include <stdlib.h>
#include <unistd.h>
/* binfmt_misc calls: launcher /path/to/program args... */
int main(int argc, char** argv) {
    (void)argc;
    setenv("QEMU_RESERVED_VA", "0xffff0000", 0);
    argv[0] = "/usr/bin/qemu-i386-static";
    execv(argv[0], argv);
    return 127;
}
C
  gcc -O2 -static -o "$launcher" "$probe/launcher.c"
fi

mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  grep -q "$launcher" /proc/sys/fs/binfmt_misc/qemu-i386 && exit 0
  echo -1 > /proc/sys/fs/binfmt_misc/qemu-i386
fi
echo ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$launcher:F" \
  > /proc/sys/fs/binfmt_misc/register
echo "i386-binfmt: 32-bit programs now run through $launcher"
