# shellcheck shell=bash
# Sourced from the root of the tree by the demo and the timed runs: the Wine
# environment and a display, both ended at exit, and the build this machine
# runs, built and set up (wine_prepare_run; sets tw_arch).
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
# shellcheck source=scripts/display.sh
. scripts/display.sh
trap 'wine_env_teardown; display_teardown' EXIT
wine_prepare_run "$PWD"
