# The stand-in web service (Python, Debian's interpreter) in the build and in ctest.
set(KESTRUNE_PYTHON /usr/bin/python3 CACHE FILEPATH "Debian's Python 3 with python3-cryptography")
set(KESTRUNE_STANDIN ${CMAKE_CURRENT_LIST_DIR} CACHE INTERNAL "the stand-in package folder")
# CA, package cache and instance folders: generated data stays in the build tree.
set(KESTRUNE_STANDIN_ROOT ${CMAKE_BINARY_DIR}/standin CACHE INTERNAL "the stand-in's generated data")

# kestrune_standin_command(<out-var> <target> [stand-in options...])
# The command line that runs <target> under Wine inside its own stand-in
# instance: the instance folder is <current binary dir>/standin, config.json
# is written beside the executable, and the child finds the instance folder
# in KESTRUNE_STANDIN (Unix path) and KESTRUNE_STANDIN_WIN (Z:\ path).
# Options: --scenario <file>, --package-size <size>, --fault <json>.
function(kestrune_standin_command out target)
  set(${out} ${KESTRUNE_PYTHON} ${KESTRUNE_STANDIN} run --root ${KESTRUNE_STANDIN_ROOT}
      --state ${CMAKE_CURRENT_BINARY_DIR}/standin --config-out $<TARGET_FILE_DIR:${target}>/config.json
      ${ARGN} -- ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}> PARENT_SCOPE)
endfunction()
