# kvo_add_form(<target> <area>/<Form> [UI <file.ui>] [SPEC <file.json>])
# Compiles the dialog template ID_<Form>.ui (from resources/dialogs/ unless UI is given) with uic
# and generates the form's base class __<Form>_Base from it and from ID_<Form>.json beside it
# (when that exists), and adds both to <target>. The hand-written <area>/<Form>.cpp derives from
# the base and includes "__<Form>_Base.h".
set(KVO_FORMGEN ${CMAKE_CURRENT_LIST_DIR}/../../tools/formgen/formgen.py CACHE INTERNAL "")
set(KVO_PYTHON /usr/bin/python3 CACHE FILEPATH "Python 3 that runs the form generator")

function(kvo_add_form target form_path)
  cmake_parse_arguments(F "" "UI;SPEC" "" ${ARGN})
  get_filename_component(form ${form_path} NAME)
  if(NOT F_UI)
    set(F_UI ${PROJECT_SOURCE_DIR}/resources/dialogs/ID_${form}.ui)
  endif()
  get_filename_component(F_UI ${F_UI} ABSOLUTE)
  if(NOT F_SPEC)
    string(REGEX REPLACE "\\.ui$" ".json" F_SPEC ${F_UI})
  endif()
  set(out ${CMAKE_BINARY_DIR}/forms_gen/${target})
  set(generated ${out}/ui_ID_${form}.h ${out}/__${form}_Base.h ${out}/__${form}_Base.cpp)
  set(deps ${F_UI} ${KVO_FORMGEN})
  if(EXISTS ${F_SPEC})
    list(APPEND deps ${F_SPEC})
  endif()
  # The set of files is read at configure time: a new .json asks for a new configure.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${F_UI})
  add_custom_command(
    OUTPUT ${generated}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND Qt6::uic ${F_UI} -o ${out}/ui_ID_${form}.h
    COMMAND ${KVO_PYTHON} ${KVO_FORMGEN} --form ${form} --ui ${F_UI} --spec ${F_SPEC} --out ${out}
    DEPENDS ${deps}
    COMMENT "Generating the base of form ${form}"
    VERBATIM)
  # A target of its own carries the rule, so that forms of any folder can feed a target made in
  # another folder (the program library is made at the top).
  add_custom_target(kvo_form_${target}_${form} DEPENDS ${generated})
  add_dependencies(${target} kvo_form_${target}_${form})
  set_source_files_properties(${generated} TARGET_DIRECTORY ${target}
    PROPERTIES GENERATED ON SKIP_AUTOGEN ON)
  target_sources(${target} PRIVATE ${generated})
  target_include_directories(${target} PUBLIC ${out})
endfunction()
