# Shared by the start and test scripts.
set -euo pipefail
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"; mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Parallel build jobs: every core unless the caller says otherwise (a shared machine).
JOBS="${JOBS:-$(nproc)}"
"$ROOT/scripts/install-deps.sh"

# The sanitizer test build in build/test, configured the one way scripts/test and the
# soak scripts share, so that running one after another rebuilds nothing. Line tables
# are all the sanitizers' reports need; full debug information costs a third of the
# compile time.
DEBUG_FLAGS=(-DCMAKE_CXX_FLAGS="-O1" -DCMAKE_CXX_FLAGS_DEBUG="-g1" -DCMAKE_C_FLAGS_DEBUG="-g1")
configure_test_build() {
  cmake -S "$ROOT" -B "$ROOT/build/test" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    "${DEBUG_FLAGS[@]}" -DZELTRANO_SANITIZE=ON -DZELTRANO_TESTS=ON -DZELTRANO_WERROR=ON >/dev/null
}
# Every sanitizer report fails the run that sees it.
sanitizer_environment() {
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
  export LSAN_OPTIONS="suppressions=$ROOT/tests/support/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export QT_QPA_PLATFORM=offscreen
}
