# Sourced: the Wine environment of one build tree.
#   zx_wine_env <build tree>   exports WINEPREFIX, HOME, WINEARCH, ...
#                              ZX_WINE_ARCH=win64 selects the tree's 64-bit
#                              prefix, where 32-bit code runs under WOW64;
#                              ZX_WINE_VERSION=winxp one that reports XP (5.1)
#   zx_wine_prefix_ready       creates the prefix once (under flock)

zx_wine_env() {
  local tree
  tree=$(cd "$1" && pwd)
  export WINEARCH=${ZX_WINE_ARCH:-win32}
  local suffix=
  [ "$WINEARCH" = win64 ] && suffix=64
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

zx_wine_prefix_ready() {
  [ -f "$WINEPREFIX/.zx-ready" ] && return 0
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.zx-ready" ]; then
      rm -rf "$WINEPREFIX"
      # An empty Desktop of its own: otherwise Wine links the shell's
      # Desktop to the whole (private) home folder.
      mkdir -p "$HOME/Desktop"
      wineboot -i >"$WINEPREFIX.boot.log" 2>&1 </dev/null
      # Undecorated, unmanaged windows: the skinned frame draws its own
      # caption, and closing needs no window manager round trip.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >>"$WINEPREFIX.boot.log" 2>&1 </dev/null
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$WINEPREFIX.boot.log" 2>&1 </dev/null
      if [ -n "${ZX_WINE_VERSION:-}" ]; then
        wine winecfg -v "$ZX_WINE_VERSION" >>"$WINEPREFIX.boot.log" 2>&1 </dev/null || return 1
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
