# The environment the sanitizer build's tests run in (sourced by sanitize.sh
# and load-test.sh): any finding ends the program that made it with a failing
# status, and the leaks of system libraries listed in sanitizer-leaks.supp are
# not reported.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/sanitizer-leaks.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
