#!/usr/bin/env bash
# Installs what the project needs on Debian 12 or Ubuntu, only what is missing.
# Wine (32-bit) is installed only with --wine; on a kernel without 32-bit
# support, i386-binfmt.sh then runs it through QEMU.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

want=()
while read -r pkg; do
  case "$pkg" in ''|\#*) continue ;; esac
  want+=("$pkg")
done < "$here/packages.txt"

missing() {
  local out=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || out+=("$pkg")
  done
  echo "${out[@]:-}"
}

read -r -a need <<< "$(missing "${want[@]}")"
if [ "${1:-}" = "--wine" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    need+=(wine wine32:i386 wine64)
    updated_arch=1
  else
    read -r -a more <<< "$(missing wine wine32:i386 wine64)"
    need+=("${more[@]}")
  fi
fi
if [ "${#need[@]}" -gt 0 ] || [ -n "${updated_arch:-}" ]; then
  echo "setup: installing ${need[*]}"
  $SUDO apt-get update -q
  if [ "${#need[@]}" -gt 0 ]; then $SUDO apt-get install -y -q "${need[@]}"; fi
fi
if [ "${1:-}" = "--wine" ]; then
  $SUDO "$here/i386-binfmt.sh"
fi
exit 0
