# Shared by the scripts: where the project is and which Windows build can run here.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The script that sourced this file, its arguments and where it started, for lock_trees.
corvane_script=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
corvane_script_args=("$@")
corvane_script_cwd=$PWD

# The binfmt_misc entry (its file) that hands i386 ELF programs to an emulator, if one is
# enabled. Such an entry is consulted before the kernel's own loader, so with it every 32-bit
# Linux program, 32-bit Wine included, runs emulated whatever the kernel could do itself.
i386_binfmt_entry() {
  local dir=/proc/sys/fs/binfmt_misc entry
  [ "$(cat "$dir/status" 2>/dev/null)" = enabled ] || return 1
  for entry in "$dir"/*; do
    case "${entry##*/}" in register | status) continue ;; esac
    # ELF, 32-bit, little-endian, machine 3 (i386) at byte 18.
    if [ "$(head -n1 "$entry" 2>/dev/null)" = enabled ] &&
      awk '$1 == "magic" && substr($2, 1, 12) == "7f454c460101" && substr($2, 37, 4) == "0300" { found = 1 }
           END { exit !found }' "$entry"; then
      echo "$entry"
      return 0
    fi
  done
  return 1
}

# Runs 32-bit Wine's loader for its version; its status. 126 when the kernel cannot execute
# it (bash itself, not timeout(1) or env(1), which would hand such a file to the shell).
run_wine32_version() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# How 32-bit Wine runs here: "native" (the kernel runs i386 code), "emulated" (through
# qemu-user, slowly: a minute until the launcher's window shows) or "none".
ia32_mode() {
  if i386_binfmt_entry >/dev/null; then
    echo emulated
  elif run_wine32_version; then
    echo native
  else
    echo none
  fi
}

# The Windows build that the Windows tiers run. The shipped launcher is i686; where this
# machine runs 32-bit code natively its tests run under 32-bit Wine. Elsewhere the same
# sources, built for x86_64, run under 64-bit Wine: emulated 32-bit Wine is far too slow for
# the bulk of the tests (the i686 file still gets its own small tier there).
windows_test_preset() {
  if [ -n "${CORVANE_WINDOWS_PRESET:-}" ]; then
    echo "$CORVANE_WINDOWS_PRESET"
  elif [ "$(ia32_mode)" = native ]; then
    echo win32
  else
    echo win64
  fi
}

# Unsets DISPLAY, saying so, when it names a display that cannot be opened (a stale SSH one,
# say): Wine with its messages off would fail there without a word. $1 names the script.
check_display() {
  [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null || return 0
  timeout 10 xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
  echo "$1: the display DISPLAY=$DISPLAY cannot be opened; running under Xvfb instead" >&2
  unset DISPLAY
}

# Configures (with any further -D settings) and builds a preset.
build_preset() {
  cmake --preset "$@" >/dev/null
  cmake --build --preset "$1"
}

# The machine a Windows program is built for: i386, x86_64, another PE machine's number in hex,
# or nothing for a file that is no PE program.
pe_machine() {
  local offset
  [ "$(head -c 2 "$1" 2>/dev/null)" = MZ ] || return 0
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ -n "$offset" ] && [ "$(od -An -c -j"$offset" -N4 "$1" | tr -d ' ')" = 'PE\0\0' ] || return 0
  case $(od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ') in
    014c) echo i386 ;;
    8664) echo x86_64 ;;
    *) od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ' ;;
  esac
}

# Holds the lock of each build tree named (made when missing) for the rest of the calling
# script: one lock covers a tree's builds and its Wine prefixes, whose wineserver a script
# restarts and whose drives it re-points. A script that a holder started (a test, make-iso
# under scripts/run) shares its locks. A run that must wait says for what, once. The script
# runs again from its start under flock(1), which keeps the lock out of the processes it
# starts: a wineserver left running holds none.
lock_trees() {
  local dir lock holder locks=() chain=()
  if [ -n "${CORVANE_LOCK_NOTE:-}" ]; then # this run has just taken these locks
    IFS=: read -ra locks <<<"${CORVANE_LOCK_NOTE#:}"
    for lock in "${locks[@]}"; do echo "${corvane_script#"$top"/} (pid $$)" >"$lock"; done
    unset CORVANE_LOCK_NOTE
    locks=()
  fi
  for dir in "$@"; do
    mkdir -p "$dir" && dir=$(cd "$dir" && pwd)
    case ":${CORVANE_LOCKED:-}:" in *":$dir:"*) continue ;; esac
    locks+=("$dir/.corvane-lock")
  done
  [ ${#locks[@]} -gt 0 ] || return 0
  mapfile -t locks < <(printf '%s\n' "${locks[@]}" | sort -u) # one order for every run
  for lock in "${locks[@]}"; do
    if ! flock -n "$lock" true; then
      holder=$(cat "$lock" 2>/dev/null || true)
      echo "${corvane_script##*/}: waiting for ${holder:-another run} to finish with ${lock%/*}" >&2
    fi
    chain+=(flock -o "$lock")
    CORVANE_LOCKED+=":${lock%/*}" CORVANE_LOCK_NOTE+=":$lock"
  done
  export CORVANE_LOCKED CORVANE_LOCK_NOTE
  cd "$corvane_script_cwd"
  exec "${chain[@]}" "$BASH" "$corvane_script" "${corvane_script_args[@]}"
}

# The build tree that holds a Wine prefix, when the prefix lies directly in one.
prefix_tree() {
  local dir
  dir=$(dirname "$1")
  [ ! -f "$dir/CMakeCache.txt" ] || echo "$dir"
}
