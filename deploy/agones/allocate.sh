#!/usr/bin/env bash
# Allocates one Ready table of the quillet fleet and prints its GameServer's name and the links its
# players join with: quillet:// for the game, http:// for browsers.
# Usage: deploy/agones/allocate.sh [NAMESPACE]
# Runs on bash 3.2 and later (an empty array under set -u is expanded with care).
set -euo pipefail
here=$(dirname "$0")
namespace=()
[ -n "${1:-}" ] && namespace=(--namespace "$1")
answer=$(kubectl create ${namespace[@]+"${namespace[@]}"} -f "$here/allocation.yaml" -o jsonpath='{.status.state}|{.status.gameServerName}|{.status.address}|{.status.ports[?(@.name=="game")].port}|{.status.ports[?(@.name=="web")].port}')
IFS='|' read -r state name address port webport <<<"$answer" || true
case "${state:-}" in
Allocated) ;;
Contention)
  echo "The fleet was busy with other allocations (Contention): try again in a moment." >&2
  exit 1
  ;;
*)
  echo "No table was free (${state:-no answer}); the fleet may be growing: try again shortly." >&2
  exit 1
  ;;
esac
if [ -z "${address:-}" ] || [ -z "${port:-}" ]; then
  echo "GameServer ${name:-?} was allocated without an address or game port: see kubectl get gs ${name:-}" >&2
  exit 1
fi
# An IPv6 address is written in brackets before its port.
case "$address" in
*:*) host="[$address]" ;;
*) host=$address ;;
esac
echo "GameServer $name"
echo "quillet://$host:$port"
if [ -n "${webport:-}" ]; then
  echo "http://$host:$webport/"
else
  echo "The fleet maps no web port: browsers cannot join this table." >&2
fi
