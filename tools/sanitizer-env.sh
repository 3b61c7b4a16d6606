# Sourced by the sanitized runs: every report stops the program with a failure; leaks are
# checked, except Qt's and the system's own one-time allocations listed in tools/lsan.supp.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
