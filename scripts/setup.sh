#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), and
# those a script names as arguments (the fuzzing's clang, valgrind).
set -euo pipefail
packages=(cmake g++ ninja-build pkg-config libxml2-dev libgtest-dev libbenchmark-dev "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q "${missing[@]}"
fi
