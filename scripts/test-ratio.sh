#!/usr/bin/env bash
# Prints the lines of tests, the lines of code (tests not counted) and
# their ratio, which this project keeps between a quarter and a third.
set -euo pipefail
cd "$(dirname "$0")/.."
tests=$(git ls-files 'tests/*' | grep -E '\.(cpp|h|mjs|js|sh)$' | xargs cat | wc -l)
code=$(git ls-files | grep -v '^tests/' | grep -E '\.(cpp|h|mjs|js|S)$' | xargs cat | wc -l)
echo "tests $tests, code $code, ratio $(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.2f", t / c }')"
