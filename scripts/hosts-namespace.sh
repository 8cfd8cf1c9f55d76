#!/usr/bin/env bash
# Runs a command in a private mount namespace whose /etc/hosts is the machine's
# with the given entries added, so that a test can name addresses without
# changing the machine. Needs root (unshare and mount, from util-linux).
# usage: hosts-namespace.sh "ADDRESS NAME" [...] -- COMMAND [ARG...]
set -euo pipefail
hosts=$(mktemp)
trap 'rm -f "$hosts"' EXIT
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  echo "$1" >>"$hosts"
  shift
done
[ $# -gt 1 ] || { echo "usage: $0 \"ADDRESS NAME\" [...] -- COMMAND [ARG...]" >&2; exit 2; }
shift
# The given entries first: a reverse lookup takes the first line with the address.
cat /etc/hosts >>"$hosts" 2>/dev/null || true
# shellcheck disable=SC2016 # expanded by the inner shell
unshare --mount --propagation private sh -c 'mount --bind "$0" /etc/hosts && exec "$@"' "$hosts" "$@"
