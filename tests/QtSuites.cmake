# Qt Test suites of the Linux build, one per topic, each registered with CTest. GUI suites run
# offscreen. Suites that use only the platform layer's own calls are in neutral/ (GoogleTest),
# where the Windows build runs them too. Included by CMakeLists.txt when UP_UNIT_SUITES is on.
set(CMAKE_AUTOMOC ON)

# A suite includes its own moc output, so the moc compilation unit is empty: loading the
# precompiled header there would cost seconds for nothing.
function(up_skip_pch_for_mocs target)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/mocs_compilation.cpp
                              TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endfunction()

# The toolkit's headers are most of each suite's compile: parsed once, for all of them, by a
# target of their own that waits for nothing, so that the build starts on them at once.
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/qt_suite_headers.cpp
     CONTENT "// The Qt suites' precompiled headers are made along with this empty file.\n")
add_library(qt_suite_headers OBJECT ${CMAKE_CURRENT_BINARY_DIR}/qt_suite_headers.cpp)
set_target_properties(qt_suite_headers PROPERTIES AUTOMOC OFF)
target_link_libraries(qt_suite_headers PRIVATE Qt6::Test Qt6::Widgets project_warnings suite_build)
target_precompile_headers(qt_suite_headers PRIVATE <QtTest> <QtWidgets>)

# What the suites share (support/): the toolkit's side of the form of settings (whose plain
# window and form are neutral/support's, shared with the GoogleTest suites), the Qt types' forms of
# the neutral support's files, config.inf beside the executable and modal runs under its watchdog,
# and work run in a child process under limits. Suites that build the tool's own dialogs register
# its templates (ToolResources.h) and link resources. The form is a library of its own
# (test_forms), which the fuzz targets link without the test framework.
add_library(test_forms STATIC support/SettingsForm.cpp)
target_include_directories(test_forms PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(test_forms PUBLIC neutral_forms config platform Qt6::Widgets
                      PRIVATE project_warnings)
add_library(test_support STATIC
  support/ChildProcess.cpp
  support/Fixtures.cpp
)
target_include_directories(test_support PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(test_support PUBLIC test_forms neutral_dialogs platform Qt6::Test
                                           Qt6::Widgets PRIVATE project_warnings suite_build)
target_precompile_headers(test_support REUSE_FROM qt_suite_headers)
up_skip_pch_for_mocs(test_support)

function(add_qt_test name)
  cmake_parse_arguments(ARG "" "OUTPUT_DIRECTORY" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test test_support ${ARG_LIBRARIES} project_warnings
                                        suite_build)
  target_precompile_headers(${name} REUSE_FROM qt_suite_headers)
  up_skip_pch_for_mocs(${name})
  if(ARG_OUTPUT_DIRECTORY)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY})
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS unit
                                          TIMEOUT 120)
endfunction()

add_qt_test(tst_settingcontrols SOURCES tst_settingcontrols.cpp LIBRARIES config)
# What the Qt backend's dialog window decides alone about the main dialog's shape (the rest of the
# main dialog is in neutral/); config.inf beside the executable, in a folder of its own.
add_qt_test(tst_dialogwindow SOURCES tst_dialogwindow.cpp LIBRARIES app
            OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/dialogwindow)
# Keys alone, on the main dialog built from a config.inf of its own beside the executable.
add_qt_test(tst_keyboard SOURCES tst_keyboard.cpp LIBRARIES app
            OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/keyboard)
# Saving as only POSIX systems have it (the rest of saving is in neutral/).
add_qt_test(tst_savedsettings_posix SOURCES tst_savedsettings_posix.cpp LIBRARIES config)
add_qt_test(tst_filedialog SOURCES tst_filedialog.cpp LIBRARIES platform)
add_qt_test(tst_layer SOURCES tst_layer.cpp LIBRARIES platform)
# The tool's code and the layer's shared part reach only the layer's toolkit-free headers, as this
# build compiles them (the Windows build checks itself with its own compiler).
add_test(NAME layer_neutral
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/check-neutral-layer.sh ${PROJECT_SOURCE_DIR}
                 ${PROJECT_BINARY_DIR} ${CMAKE_CXX_COMPILER})
set_tests_properties(layer_neutral PROPERTIES LABELS unit TIMEOUT 120)
# What the backend defines, and what the layer's shared part needs of it, against the list in
# docs/architecture.md.
add_test(NAME backend_contract
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/check-backend-contract.sh ${CMAKE_NM}
                 ${PROJECT_SOURCE_DIR}/docs/architecture.md
                 --shared $<TARGET_OBJECTS:platform_shared>
                 --backend $<TARGET_OBJECTS:platform_backend>
         COMMAND_EXPAND_LISTS)
set_tests_properties(backend_contract PROPERTIES LABELS unit TIMEOUT 60)
# The About box needs a config.inf of its own beside the executable.
add_qt_test(tst_aboutbox SOURCES tst_aboutbox.cpp LIBRARIES app
            OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/aboutbox)
add_qt_test(tst_textprogress SOURCES tst_textprogress.cpp LIBRARIES programming)
# Bad input, one file of tests/corpus/bad per case; the main dialog's cases need a config.inf
# beside the executable, in a folder of its own.
add_qt_test(tst_badinput SOURCES tst_badinput.cpp LIBRARIES app
            OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/badinput)
target_compile_definitions(tst_badinput PRIVATE
                           BAD_CORPUS_DIR="${CMAKE_CURRENT_SOURCE_DIR}/corpus/bad")

# The worked examples of docs/config-format.md, each a file of tests/docs-examples: what the tool
# makes of each (the window's cases need a config.inf beside the executable, in a folder of its
# own), and that the document shows each file byte for byte.
add_qt_test(tst_docexamples SOURCES tst_docexamples.cpp LIBRARIES app
            OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/docexamples)
target_compile_definitions(tst_docexamples PRIVATE
                           DOC_EXAMPLES_DIR="${CMAKE_CURRENT_SOURCE_DIR}/docs-examples")
add_test(NAME docexamples_shown
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/check-doc-examples.sh
                 ${PROJECT_SOURCE_DIR}/docs/config-format.md ${PROJECT_SOURCE_DIR}
                 ${CMAKE_CURRENT_SOURCE_DIR}/docs-examples
                 ${CMAKE_CURRENT_SOURCE_DIR}/tst_docexamples.cpp)
set_tests_properties(docexamples_shown PROPERTIES LABELS unit TIMEOUT 60)
