# The desktop programs: the Qt front end (src/gui, the only place that
# includes Qt), its pictures as compiled-in resources, the two editions'
# programs, their help pages beside them, and their desktop files.

webhoard_platform_sources(gui_sources src/gui)
set(gui_resources "")
if(EXISTS "${PROJECT_SOURCE_DIR}/src/gui/pictures/pictures.qrc")
  set(gui_resources src/gui/pictures/pictures.qrc)
endif()
add_library(webhoard_gui STATIC ${gui_sources} ${gui_resources})
# Only the front end needs Qt's code generators.
set_target_properties(webhoard_gui PROPERTIES AUTOMOC ON AUTORCC ON)
target_include_directories(webhoard_gui PUBLIC "${PROJECT_SOURCE_DIR}/src")
target_link_libraries(webhoard_gui PUBLIC webhoard_forms Qt6::Widgets Qt6::Network)
target_compile_definitions(webhoard_gui PRIVATE WEBHOARD_VERSION="${PROJECT_VERSION}")
# GCC's sanitizer builds warn "may be used uninitialized" about the hidden
# temporaries of lambdas that call through pointers to member functions (the
# windows' handler tables); a known false positive there, not a finding.
if(WEBHOARD_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(webhoard_gui PRIVATE -Wno-maybe-uninitialized)
endif()

set(webhoard_gui_programs "")
foreach(edition nav ie)
  if(EXISTS "${PROJECT_SOURCE_DIR}/src/app/webhoard_${edition}_main.cpp")
    add_executable(webhoard-${edition} WIN32 src/app/webhoard_${edition}_main.cpp)
    target_link_libraries(webhoard-${edition} PRIVATE webhoard_gui)
    list(APPEND webhoard_gui_programs webhoard-${edition})
  endif()
endforeach()

# The help pages travel beside the programs, like the index icons.
add_custom_target(webhoard_help ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${PROJECT_SOURCE_DIR}/help" "${CMAKE_BINARY_DIR}/help"
  COMMENT "Copying the help pages beside the programs")

# cmake --install: the programs beside the command line, their help pages
# with the other data, the desktop entries and the window icons.
if(webhoard_gui_programs)
  install(TARGETS ${webhoard_gui_programs} DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()
install(DIRECTORY "${PROJECT_SOURCE_DIR}/help/" DESTINATION "${webhoard_data_dir}/help")
foreach(edition nav ie)
  install(FILES "${PROJECT_SOURCE_DIR}/desktop/webhoard-${edition}.desktop"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  install(FILES "${PROJECT_SOURCE_DIR}/src/gui/pictures/webhoard-${edition}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps")
  install(FILES "${PROJECT_SOURCE_DIR}/src/gui/pictures/webhoard-${edition}-256.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps"
          RENAME "webhoard-${edition}.png")
endforeach()

# The window tests: real widgets on Qt's offscreen platform.
function(webhoard_gui_tests)
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/gui/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(gui_tests ${sources})
  target_include_directories(gui_tests PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(gui_tests PRIVATE webhoard_gui webhoard_test_support Qt6::Test GTest::gtest)
  add_dependencies(gui_tests ${webhoard_gui_programs} webhoard_help)
  target_compile_definitions(gui_tests PRIVATE
    WEBHOARD_PROGRAM_FOLDER="${CMAKE_BINARY_DIR}"
    WEBHOARD_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(gui_tests DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "WEBHOARD_TEST=1;QT_QPA_PLATFORM=offscreen")
endfunction()
