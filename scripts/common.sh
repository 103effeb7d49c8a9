# Shared by the start and test scripts.
set -euo pipefail
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"; mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Parallel build jobs: every core unless the caller says otherwise (a shared machine).
JOBS="${JOBS:-$(nproc)}"
"$ROOT/scripts/install-deps.sh"
