#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), and
# those a script names as arguments (the fuzzing's clang, valgrind).
set -euo pipefail
source "$(dirname "$0")/packages.sh"
# python3: the command-line tests read the CSV and JSON outputs back with its parsers.
install_missing cmake g++ ninja-build pkg-config libxml2-dev libgtest-dev libbenchmark-dev python3 "$@"
