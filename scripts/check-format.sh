#!/usr/bin/env bash
# Fails when a C++ source differs from what clang-format makes of it with the repo's
# .clang-format; the differences are printed. scripts/check-format.sh --fix formats them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

# The sources git tracks or would add; outside a git checkout, every source but the build folders'.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -d '' files < <(git ls-files -z --cached --others --exclude-standard -- '*.h' '*.hpp' '*.cpp' '*.cc' '*.c' '*.inl')
else
    mapfile -d '' files < <(find . -path './build*' -prune -o -path './.git' -prune -o -type f \
        \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' -o -name '*.c' -o -name '*.inl' \) -print0)
fi

if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit
fi
if ! clang-format --dry-run -Werror "${files[@]}"; then
    echo "these sources are not formatted; scripts/check-format.sh --fix formats them"
    exit 1
fi
echo "${#files[@]} sources formatted"
