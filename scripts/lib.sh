# Shared by the scripts: where the project is and which Windows build can run here.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The shipped launcher is i686. Its tests run under 32-bit Wine where this machine can
# execute 32-bit code; a kernel without IA-32 emulation cannot, and then the same sources,
# built for x86_64, run under 64-bit Wine instead.
windows_test_preset() {
  if [ -n "${CORVANE_WINDOWS_PRESET:-}" ]; then
    echo "$CORVANE_WINDOWS_PRESET"
  elif timeout 60 /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo win32
  else
    echo win64
  fi
}

build_preset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}
