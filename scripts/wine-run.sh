#!/bin/sh
# The cross-compiling emulator of the build (cmake/mingw-w64-x86_64.cmake):
# runs a Windows program under Wine and, when it ends with a status other
# than 0, says which and after how long. A program that never ran its tests
# shows nothing else: the status tells a Wine start-up fault (c0000135, a
# DLL or the program not found) from a crash and from failed tests.
#   wine-run.sh <program.exe> [arguments...]
start=$(date +%s%N)
# The program goes with this script: a test that ctest ends at its time-out
# (it kills only its own child) must not live on in the session.
setpriv --pdeathsig KILL wine "$@"
status=$?
[ "$status" -eq 0 ] && exit 0
ms=$((($(date +%s%N) - start) / 1000000))
# Wine ends with the low byte of the Windows exit code.
case $status in
  1) what="failed tests, or Wine could not start the program" ;;
  5) what="likely c0000005, an access violation" ;;
  9) what="likely c0000409, a stack buffer overrun or fail-fast" ;;
  53) what="likely c0000135, a DLL or the program not found" ;;
  66) what="likely c0000142, a DLL failed to initialise" ;;
  123) what="likely c000007b, a DLL of the wrong kind" ;;
  *) if [ "$status" -gt 128 ]; then what="killed by signal $((status - 128))"; else what="the program's own code"; fi ;;
esac
printf '[wine-run] %s ended with status %d (%s) after %d.%03d s\n' \
  "$(basename "${1:-?}")" "$status" "$what" $((ms / 1000)) $((ms % 1000)) >&2
exit "$status"
