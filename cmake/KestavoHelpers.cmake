# Adds every direct sub-folder of the current folder that has a CMakeLists.txt.
function(kvo_add_subfolders)
  file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir IN LISTS entries)
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# kvo_add_test(NAME name SOURCES ... LIBS ...): a GoogleTest executable whose tests
# each run in a process of their own (the ODBC driver manager caches ini look-ups
# within a process), offscreen, with a private runtime folder.
function(kvo_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  # gtest_discover_tests hands PROPERTIES on as text, so the list separator must be escaped.
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen\\;KVO_TEST_BUILD_DIR=${CMAKE_BINARY_DIR}"
               TIMEOUT 120)
endfunction()

# kvo_add_test_at_dpi(<target> <dpi> [<gtest filter>]): the target's tests (those the filter
# picks) once more, each in a process started with QT_FONT_DPI, which Qt reads only at start-up.
function(kvo_add_test_at_dpi target dpi)
  set(filter "*")
  if(ARGC GREATER 2)
    set(filter "${ARGV2}")
  endif()
  gtest_discover_tests(${target}
    TEST_SUFFIX ".at${dpi}dpi"
    TEST_FILTER "${filter}"
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen\\;QT_FONT_DPI=${dpi}\\;KVO_TEST_BUILD_DIR=${CMAKE_BINARY_DIR}"
               TIMEOUT 120)
endfunction()

# kvo_export_only(<target> <version script>): a shared library of the program folder whose
# exports are exactly those its version script names; everything else stays hidden.
function(kvo_export_only target script)
  target_link_options(${target} PRIVATE -Wl,--version-script=${script} -Wl,--no-undefined)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${script}
    LIBRARY_OUTPUT_DIRECTORY ${KVO_PROGRAM_DIR})
endfunction()
