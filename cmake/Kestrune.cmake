# Helpers shared by the folders of the project.

# Third-party libraries cross-built by scripts/setup.sh.
function(kestrune_dependencies)
  if(NOT KESTRUNE_DEPS)
    if(DEFINED ENV{KESTRUNE_CACHE})
      set(cache $ENV{KESTRUNE_CACHE})
    elseif(DEFINED ENV{XDG_CACHE_HOME})
      set(cache $ENV{XDG_CACHE_HOME}/kestrune)
    else()
      set(cache $ENV{HOME}/.cache/kestrune)
    endif()
    set(KESTRUNE_DEPS ${cache}/deps CACHE PATH "Cross-built dependencies")
  endif()
  foreach(dep openssl tinyxml jsoncpp)
    if(NOT EXISTS ${KESTRUNE_DEPS}/${dep}/include)
      message(FATAL_ERROR "${dep} not found under ${KESTRUNE_DEPS}: run scripts/setup.sh")
    endif()
  endforeach()

  add_library(dep_crypto STATIC IMPORTED GLOBAL)
  set_target_properties(dep_crypto PROPERTIES
    IMPORTED_LOCATION ${KESTRUNE_DEPS}/openssl/lib/libcrypto.a
    INTERFACE_INCLUDE_DIRECTORIES ${KESTRUNE_DEPS}/openssl/include
    INTERFACE_LINK_LIBRARIES "ws2_32;crypt32;bcrypt;user32;advapi32")

  add_library(dep_tinyxml STATIC IMPORTED GLOBAL)
  set_target_properties(dep_tinyxml PROPERTIES
    IMPORTED_LOCATION ${KESTRUNE_DEPS}/tinyxml/lib/libtinyxml.a
    INTERFACE_INCLUDE_DIRECTORIES ${KESTRUNE_DEPS}/tinyxml/include
    INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)

  add_library(dep_jsoncpp STATIC IMPORTED GLOBAL)
  set_target_properties(dep_jsoncpp PROPERTIES
    IMPORTED_LOCATION ${KESTRUNE_DEPS}/jsoncpp/lib/libjsoncpp.a
    INTERFACE_INCLUDE_DIRECTORIES ${KESTRUNE_DEPS}/jsoncpp/include)

  find_library(ZLIB_STATIC NAMES libz.a REQUIRED)
  add_library(dep_zlib STATIC IMPORTED GLOBAL)
  set_target_properties(dep_zlib PROPERTIES IMPORTED_LOCATION ${ZLIB_STATIC})
endfunction()

# A static library of every source file in the calling folder.
#   kestrune_library(<name> [DEPS <targets...>])
function(kestrune_library name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  add_library(${name} STATIC ${srcs})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
endfunction()

# The version resource that every executable of the project carries.
function(kestrune_version_resource target)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/version.rc)
endfunction()
configure_file(${CMAKE_SOURCE_DIR}/resources/version.rc.in ${CMAKE_BINARY_DIR}/version.rc @ONLY)

# One test executable per folder of tests/, run as one ctest entry (one Wine
# start instead of one per test). Extra executables the tests start live in
# the folder's helpers/ and are added by the folder itself.
#   kestrune_test(<name> DEPS <targets...> [STANDIN [<stand-in options>...]])
# STANDIN runs the executable inside its own instance of the stand-in web
# service (tools/standin/README.md): config.json beside the executable names
# the instance's hosts, KESTRUNE_STANDIN_WIN its folder (request log, faults).
function(kestrune_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "DEPS;STANDIN" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(test_${name} ${srcs})
  kestrune_version_resource(test_${name})
  target_link_libraries(test_${name} PRIVATE ktestsupport ${A_DEPS})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 900)
  endif()
  if("STANDIN" IN_LIST ARGN)
    kestrune_standin_command(command test_${name} ${A_STANDIN})
    add_test(NAME ${name} COMMAND ${command} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED standin_ca)
  else()
    add_test(NAME ${name} COMMAND test_${name} --gtest_color=no)
  endif()
  # A crash under Wine can end the process with a clean exit code after
  # GoogleTest already printed failures: the output decides too.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT}
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\];Unhandled exception;Unhandled page fault")
endfunction()

# Puts the language library "Lang.dll" beside an executable of the user
# interface, as the installer does; CRAFTED adds the malformed test library.
#   kestrune_lang_library(<target> [CRAFTED])
function(kestrune_lang_library target)
  add_dependencies(${target} lang_library)
  set(dir ${CMAKE_BINARY_DIR}/resources/lang)
  set(files ${dir}/Lang.dll)
  if("CRAFTED" IN_LIST ARGN)
    list(APPEND files ${dir}/LangCrafted.dll)
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${files} $<TARGET_FILE_DIR:${target}>)
endfunction()
