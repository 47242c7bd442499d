# Sourced: the Wine environment of one build tree.
#   zx_wine_env <build tree>   exports WINEPREFIX, HOME, WINEARCH, WINELOADER
#                              for the tree's architecture (its wine-arch
#                              file, written by CMake). ZX_WINE_ARCH=win64
#                              selects a 32-bit tree's 64-bit prefix, where
#                              its code runs under WOW64; ZX_WINE_VERSION=winxp
#                              one that reports XP
#   zx_wine <program> [args]   runs a Windows program with the tree's loader
#   zx_wine_prefix_ready       creates the prefix once (under flock)
#   zx_runs_32bit              whether this machine runs 32-bit Linux programs
#   zx_runnable_preset         win32 where it does, else win64

# /usr/bin/wine tries the 32-bit loader first, which some kernels refuse, so
# the loader is always named here.
zx_wine_loader_32=/usr/lib/wine/wine
zx_wine_loader_64=/usr/lib/wine/wine64

# Asked by running the 32-bit loader: kernels of one version differ here.
zx_runs_32bit() {
  "$zx_wine_loader_32" --version >/dev/null 2>&1
}

# The Windows build this machine runs: the 32-bit one, the main artifact,
# where it can, else the 64-bit one.
zx_runnable_preset() {
  if zx_runs_32bit; then echo win32; else echo win64; fi
}

zx_wine_env() {
  local tree built
  tree=$(cd "$1" && pwd)
  built=$(cat "$tree/wine-arch" 2>/dev/null || echo win32)
  export WINEARCH=${ZX_WINE_ARCH:-$built}
  # A tree's programs start through the loader of their own bitness; the
  # 32-bit loader hands a 64-bit prefix's own processes to its 64-bit twin.
  if [ "$built" = win64 ]; then
    export WINELOADER=$zx_wine_loader_64
  else
    export WINELOADER=$zx_wine_loader_32
  fi
  local suffix=
  [ "$WINEARCH" != "$built" ] && suffix=64
  [ -n "${ZX_WINE_VERSION:-}" ] && suffix="$suffix-$ZX_WINE_VERSION"
  export WINEPREFIX="$tree/wineprefix$suffix"
  export WINEDEBUG=-all
  # Nothing may prompt for Mono or Gecko.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # A private home keeps the shell namespace (Desktop, My Documents) the
  # same on every machine instead of following the real user's folders.
  export HOME="$tree/winehome"
  mkdir -p "$HOME"
}

zx_wine() {
  "$WINELOADER" "$@"
}

# The Windows version a prefix reports: a 64-bit prefix knows XP only as
# its 64-bit edition.
zx_wine_version_name() {
  if [ "$WINEARCH" = win64 ] && [ "$1" = winxp ]; then echo winxp64; else echo "$1"; fi
}

zx_wine_prefix_ready() {
  [ -f "$WINEPREFIX/.zx-ready" ] && return 0
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.zx-ready" ]; then
      rm -rf "$WINEPREFIX"
      # An empty Desktop of its own: otherwise Wine links the shell's
      # Desktop to the whole (private) home folder.
      mkdir -p "$HOME/Desktop"
      local log="$WINEPREFIX.boot.log"
      zx_wine wineboot -i >"$log" 2>&1 </dev/null || return 1
      # Undecorated, unmanaged windows: the skinned frame draws its own
      # caption, and closing needs no window manager round trip.
      zx_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >>"$log" 2>&1 </dev/null
      zx_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1 </dev/null
      if [ -n "${ZX_WINE_VERSION:-}" ]; then
        zx_wine winecfg -v "$(zx_wine_version_name "$ZX_WINE_VERSION")" >>"$log" 2>&1 </dev/null || return 1
      fi
      wineserver -w
      touch "$WINEPREFIX/.zx-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# The build tree that holds a file: the nearest folder with a CMakeCache.txt.
zx_build_tree_of() {
  local dir
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do
    dir=$(dirname "$dir")
  done
  [ -f "$dir/CMakeCache.txt" ] || return 1
  echo "$dir"
}
