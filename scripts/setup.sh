#!/bin/bash
# Installs what the build and the tests need, on Debian 12 (as root).
# Fast when everything is there: it only asks dpkg.
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libwine-dev:i386
          wine wine32:i386 wine64 xvfb xauth googletest libgtest-dev clang
          libclang-rt-14-dev)

missing() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' \
      || echo "$p"
  done
}

[ -z "$(missing)" ] && exit 0

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
export DEBIAN_FRONTEND=noninteractive
pin=/etc/apt/preferences.d/zxmlhttp-i386-twins

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi
# A mirror may serve a stale or half-synced i386 index of the security
# suite; apt then still works with what it has, so carry on and let the
# resolver check below decide.
as_root apt-get update || echo "setup: apt-get update reported errors; checking what apt can install" >&2

install_args=(-y --no-install-recommends --allow-downgrades)
resolves() { apt-get install -s "${install_args[@]}" "$@" >/tmp/zx-apt-sim.log 2>&1; }

extra=()
if ! resolves "${packages[@]}"; then
  # Without the security suite's i386 index, i386 libraries are only known at
  # the main suite's versions while their amd64 twins may be newer, and
  # Multi-Arch: same needs both at one version. Prefer the main suite, and
  # move an installed amd64 twin to the version its i386 twin has.
  echo "setup: i386 packages do not resolve; preferring the main suite for twins" >&2
  printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' | as_root tee "$pin" >/dev/null
  for _ in 1 2 3 4 5 6; do
    resolves "${packages[@]}" "${extra[@]}" && break
    mapfile -t blocked < <(grep -oE '[a-z0-9.+-]+:i386( \([^)]*\))? but it is not (going to be installed|installable)' /tmp/zx-apt-sim.log \
                           | sed 's/:i386.*//' | sort -u)
    [ ${#blocked[@]} -gt 0 ] || break
    for lib in "${blocked[@]}"; do
      want=$(apt-cache policy "$lib:i386" | awk '/Candidate:/ {print $2}')
      have=$(dpkg-query -W -f='${Version}' "$lib:amd64" 2>/dev/null || true)
      if [ -n "$want" ] && [ "$want" != "(none)" ] && [ -n "$have" ] && [ "$have" != "$want" ]; then
        extra+=("$lib:amd64=$want")
      fi
    done
  done
fi

if ! as_root apt-get install "${install_args[@]}" "${packages[@]}" "${extra[@]}"; then
  echo "setup: FAILED to install the toolchain and Wine; see apt's messages above" >&2
  exit 1
fi
remaining=$(missing)
if [ -n "$remaining" ]; then
  echo "setup: FAILED, still missing: $remaining" >&2
  exit 1
fi
