# The engine's threads start with _beginthreadex; a thread_local object with
# a destructor registers a thread-exit record (__cxa_thread_atexit) that the
# runtime may run for the wrong thread, freeing what a live thread still
# uses. No library an engine thread runs may register one.
# A linked executable holds the registration function only when something
# in it calls it (the runtime's own parts included).
#   cmake -DNM=<nm> -DPROBE=<object> -DLIBRARIES=<a;b;...> [-DEXECUTABLES=<x;...>] -P thread_exit_check.cmake
set(symbol "__cxa_thread_atexit")
function(registrations file out)
  # Libraries and objects: what they call; executables: what they hold.
  set(undefined -u)
  if(file MATCHES "\\.exe$")
    set(undefined "")
  endif()
  execute_process(COMMAND ${NM} -A ${undefined} ${file} OUTPUT_VARIABLE text RESULT_VARIABLE rc ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${file}")
  endif()
  string(REGEX MATCHALL "[^\n]*${symbol}[^\n]*" found "${text}")
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

registrations(${PROBE} probe)
if(NOT probe)
  message(FATAL_ERROR "the check finds no ${symbol} in the probe object ${PROBE}: it proves nothing")
endif()
message(STATUS "probe: ${probe}")

set(failed "")
foreach(library IN LISTS LIBRARIES EXECUTABLES)
  registrations(${library} found)
  if(found)
    string(REPLACE ";" "\n  " lines "${found}")
    message(SEND_ERROR "thread-exit destructor registered in ${library}:\n  ${lines}")
    set(failed 1)
  else()
    message(STATUS "no ${symbol}: ${library}")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "thread_local objects with destructors in code that engine threads run")
endif()
