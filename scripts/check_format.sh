#!/usr/bin/env bash
# Fails when a C++ file of the project is not laid out as .clang-format says (clang-format -i
# on the file lays it out).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'docs/*.cpp')
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "Lay the files above out with: clang-format -i <file>"
  exit 1
fi
echo "format: every file is laid out as .clang-format says"
