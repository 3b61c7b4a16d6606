#!/usr/bin/env bash
# Allocates one Ready table of the quillet fleet and prints the link its players join with.
# Usage: deploy/agones/allocate.sh [NAMESPACE]
set -euo pipefail
here=$(dirname "$0")
namespace=()
[ -n "${1:-}" ] && namespace=(--namespace "$1")
answer=$(kubectl create "${namespace[@]}" -f "$here/allocation.yaml" \
  -o jsonpath='{.status.state} {.status.address} {.status.ports[?(@.name=="game")].port}')
read -r state address port <<<"$answer"
if [ "$state" != Allocated ] || [ -z "${address:-}" ] || [ -z "${port:-}" ]; then
  echo "No table was free (${state:-no answer}); the fleet may be growing: try again shortly." >&2
  exit 1
fi
echo "quillet://$address:$port"
