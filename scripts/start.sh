#!/usr/bin/env bash
# Sets everything up, builds, and starts the program.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/setup.sh"
exec "$top/build/bin/palomas" "$@"
