# Core libraries build and link without Qt. Every core library is declared
# with kanzo_core_library(); at the end of configuration the whole link
# closure of each one is walked, and a Qt target anywhere in it fails the build.
set_property(GLOBAL PROPERTY KANZO_CORE_TARGETS "")

function(kanzo_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  # Core targets carry no Qt include paths, so a Qt header in a core source
  # fails at compile time as well.
  set_property(GLOBAL APPEND PROPERTY KANZO_CORE_TARGETS ${name})
endfunction()

function(_kanzo_collect_links target out_var)
  set(seen ${${out_var}})
  if(NOT TARGET ${target})
    set(${out_var} ${seen} PARENT_SCOPE)
    return()
  endif()
  get_target_property(aliased ${target} ALIASED_TARGET)
  if(aliased)
    set(target ${aliased})
  endif()
  get_target_property(links ${target} LINK_LIBRARIES)
  get_target_property(ilinks ${target} INTERFACE_LINK_LIBRARIES)
  foreach(dep IN LISTS links ilinks)
    if(dep AND NOT dep MATCHES "-NOTFOUND$" AND NOT dep IN_LIST seen)
      list(APPEND seen ${dep})
      _kanzo_collect_links(${dep} seen)
    endif()
  endforeach()
  set(${out_var} ${seen} PARENT_SCOPE)
endfunction()

# Walks every core library's link closure at the end of configuration:
# no Qt anywhere in it, and no core library that reaches itself. CMake links
# static libraries that name each other without complaint, so a cycle would
# otherwise grow unnoticed and make the layers meaningless.
function(kanzo_check_core_libraries)
  get_property(core GLOBAL PROPERTY KANZO_CORE_TARGETS)
  foreach(t IN LISTS core)
    set(closure "")
    _kanzo_collect_links(${t} closure)
    foreach(dep IN LISTS closure)
      if(dep MATCHES "Qt[0-9]*::|Qt[0-9]*(Core|Gui|Widgets)|kanzo_ui|kanzo_controls|kanzo_windows|kanzo_update_ui")
        message(FATAL_ERROR "core library ${t} links ${dep}: the core must stay free of Qt")
      endif()
    endforeach()
    if(t IN_LIST closure)
      set(path "")
      foreach(dep IN LISTS closure)
        if(dep IN_LIST core)
          list(APPEND path ${dep})
        endif()
      endforeach()
      list(JOIN path " " pathText)
      message(FATAL_ERROR "cycle among core libraries: ${t} reaches itself through ${pathText}")
    endif()
  endforeach()
endfunction()

# Tests: one executable per file group, each case a CTest test. Qt tests run
# on the offscreen platform.
#   kanzo_add_test(name [QT] [LOCK resource [LOCKED_SUITES suite...]] SOURCES ... LIBS ...)
# LOCK puts every case of the executable under the resource lock; with
# LOCKED_SUITES only the cases of those test suites, so the executable's other
# cases still run in parallel.
function(kanzo_add_test name)
  cmake_parse_arguments(T "QT" "LOCK" "SOURCES;LIBS;LOCKED_SUITES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} kanzo_test_support GTest::gmock)
  if(T_QT)
    target_link_libraries(${name} PRIVATE kanzo_qt_test_main)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Folders reach the tests as definitions: the discovered tests carry one
  # environment entry only (a list would be split into properties).
  target_compile_definitions(${name} PRIVATE
    KANZO_SOURCE_DIR="${PROJECT_SOURCE_DIR}" KANZO_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # Qt tests choose the offscreen platform in their own main().
  set(env "LC_ALL=C.UTF-8")
  # Tests that start or look for processes by the program's name, or bind
  # the client's fixed port, take a lock so that ctest never runs two at once.
  if(NOT T_LOCK)
    _kanzo_discover_tests(${name} "${env}" "" "")
  elseif(NOT T_LOCKED_SUITES)
    _kanzo_discover_tests(${name} "${env}" "${T_LOCK}" "")
  else()
    list(TRANSFORM T_LOCKED_SUITES APPEND ".*")
    list(JOIN T_LOCKED_SUITES ":" locked)
    _kanzo_discover_tests(${name} "${env}" "${T_LOCK}" "${locked}")
    _kanzo_discover_tests(${name} "${env}" "" "-${locked}")
  endif()
endfunction()

function(_kanzo_discover_tests name env lock filter)
  set(extra "")
  if(lock)
    list(APPEND extra RESOURCE_LOCK ${lock})
  endif()
  set(filter_args "")
  if(filter)
    set(filter_args TEST_FILTER "${filter}")
  endif()
  gtest_discover_tests(${name}
    ${filter_args}
    PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120 ${extra}
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST)
endfunction()
