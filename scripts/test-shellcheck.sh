#!/usr/bin/env bash
# Every shell script of the tree put to shellcheck at its default level: the
# *.sh files and the files without an extension whose first line starts a
# shell. All go to one run, so that a sourced library is followed and the
# variables a caller sets for it count as read. Fails on any finding.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

command -v shellcheck > /dev/null || { echo "FAIL: shellcheck is not installed (see scripts/packages.txt)" >&2; exit 1; }

scripts=()
while IFS= read -r -d '' file; do
  case "${file##*/}" in
    *.sh) scripts+=("$file") ;;
    *.*) ;;
    *)
      first=""
      read -r first < "$file" || true
      if [[ "$first" =~ ^#!\ *(/usr)?/bin/(env\ +)?(ba)?sh(\ |$) ]]; then scripts+=("$file"); fi
      ;;
  esac
done < <(find . \( -name .git -o -name build -o -name node_modules -o -path ./out \) -prune -o -type f -print0 | sort -z)

[ "${#scripts[@]}" -gt 0 ] || { echo "FAIL: no shell script found" >&2; exit 1; }
shellcheck "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts, no finding"
