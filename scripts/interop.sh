#!/usr/bin/env bash
# What the accountants' and developers' side needs beyond the core build:
# installs Debian's pybind11-dev, python3-dev, python3-pytest and chromium
# (only those missing), then runs the Python module's tests, the HTML report
# rendered in headless Chromium and the installation check (cmake --install
# into a temporary root, find_package and pkg-config from an outside project,
# the cpack Debian package installed into and removed from a temporary root).
# Run it after scripts/setup.sh; scripts/test.sh then also runs the first two
# as part of the default preset.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_missing pybind11-dev python3-dev python3-pytest chromium dpkg-dev
jobs=$(nproc)
cmake --preset default -DQX_WERROR=ON >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -R 'python_qxtva|rapport_chromium' --no-tests=error
cmake --preset release -DQX_WERROR=ON >/dev/null
bash tests/installation/verifier_installation.sh build/release
