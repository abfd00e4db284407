#!/usr/bin/env bash
# Checks the tracked C++ sources against the project's rules that a compiler
# does not see: the one code style of .clang-format.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "Sources: style clean."
