# shellcheck shell=bash
# Sourced by the scripts that build, run and test, after their own
# `set -euo pipefail`: works from the repository ($root), builds with one job
# a core ($jobs), prints stage headers (stage) and, given --setup, first
# installs what is missing (the arguments after it go to setup.sh).
#   source "$(dirname "${BASH_SOURCE[0]}")/common.sh" [--setup [--wine]]
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root" || exit 1
# shellcheck disable=SC2034  # read by the scripts that source this file
jobs="$(nproc)"

stage() { echo; echo "=== $*"; }

if [ "${1:-}" = "--setup" ]; then
  shift
  scripts/setup.sh "$@"
fi
