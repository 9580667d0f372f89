# Helpers shared by every component's CMakeLists.txt.
#
# orvix_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <l...>]
#                [RESOURCE_LOCK <names...>] [TIMEOUT <s>])
#   One GoogleTest executable, run by ctest as one process under Wine (start-up
#   under Wine dominates, so cases are grouped per executable, not per process).
#   It links testsupport, whose main() installs the message-box seam.
#
# orvix_register_com(<target>)   regsvr32 the DLL in the test and run prefixes.
# orvix_dist(<target>)           the binary goes into the program folder dist/.
# orvix_dist_file(<src> [<dest>]) a data file (path relative to dist/) goes there too.

set_property(GLOBAL PROPERTY ORVIX_REGISTER "")
set_property(GLOBAL PROPERTY ORVIX_DIST "")

function(orvix_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;RESOURCE_LOCK" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} testsupport gtest)
  set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_RESOURCE_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
endfunction()

function(orvix_register_com target)
  set_property(GLOBAL APPEND PROPERTY ORVIX_REGISTER "$<TARGET_FILE_NAME:${target}>")
endfunction()

function(orvix_dist target)
  set_property(GLOBAL APPEND PROPERTY ORVIX_DIST "$<TARGET_FILE:${target}>|$<TARGET_FILE_NAME:${target}>")
endfunction()

function(orvix_dist_file src)
  if(ARGC GREATER 1)
    set(dest ${ARGV1})
  else()
    get_filename_component(dest ${src} NAME)
  endif()
  get_filename_component(abs ${src} ABSOLUTE)
  set_property(GLOBAL APPEND PROPERTY ORVIX_DIST "${abs}|${dest}")
endfunction()

# Lists read by scripts/: which DLLs to register, what the program folder holds.
function(orvix_write_manifests)
  get_property(reg GLOBAL PROPERTY ORVIX_REGISTER)
  get_property(dist GLOBAL PROPERTY ORVIX_DIST)
  list(JOIN reg "\n" reg_text)
  list(JOIN dist "\n" dist_text)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/register.list CONTENT "${reg_text}\n")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/dist.list CONTENT "${dist_text}\n")
endfunction()

# Every program and DLL the build makes links the runtime floor's objects,
# googletest's own targets aside (static libraries).
function(orvix_link_xp_floor)
  set(dirs ${CMAKE_SOURCE_DIR})
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    list(APPEND dirs ${subdirs})
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "EXECUTABLE" OR type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
        target_link_libraries(${target} PRIVATE orvix_xpfloor)
      endif()
    endforeach()
  endwhile()
endfunction()
