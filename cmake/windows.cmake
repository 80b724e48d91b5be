# The Windows builds: the product, and (64-bit) what proves it under Wine.
set(WIN_LIBS shell32 shlwapi ole32 comctl32 comdlg32 user32 gdi32 advapi32 version)

add_library(pallwick_core OBJECT ${PLATFORM_SOURCES} ${INSTALLER_SOURCES})
target_include_directories(pallwick_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(pallwick_core PUBLIC
    WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800 STRICT)

file(GLOB RESOURCE_SCRIPTS CONFIGURE_DEPENDS ui/*.rc)
add_executable(Pallwick WIN32 platform/winmain.cpp ${RESOURCE_SCRIPTS})
target_link_libraries(Pallwick PRIVATE pallwick_core ${WIN_LIBS})
# A self-contained program: no MinGW runtime DLLs beside it.
target_link_options(Pallwick PRIVATE -static -static-libgcc -static-libstdc++ -mwindows)
# pallwick_core is an object library: the application object is found by
# the start-up through its constructor, not through a symbol reference, so
# it must be linked in whole.

# The icons are kept as text pixel maps in ui/res/ and turned into .ico files
# by a small tool of ours. This is a cross build, so the tool is built with
# the build machine's own compiler, not with the target's.
find_program(PALLWICK_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
set(ICONGEN_DIR ${CMAKE_SOURCE_DIR}/tools/icongen)
set(ICONGEN ${CMAKE_BINARY_DIR}/tools/icongen)
add_custom_command(OUTPUT ${ICONGEN}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
    COMMAND ${PALLWICK_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror -o ${ICONGEN}
            ${ICONGEN_DIR}/main.cpp ${ICONGEN_DIR}/icon.cpp
    DEPENDS ${ICONGEN_DIR}/main.cpp ${ICONGEN_DIR}/icon.cpp ${ICONGEN_DIR}/icon.h
    COMMENT "Building the icon generator for the build machine"
    VERBATIM)

set(ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(GENERATED_ICONS)
# pallwick_icon(NAME.ico MAP.txt...): one icon file, one image per pixel map.
function(pallwick_icon name)
    set(maps ${ARGN})
    list(TRANSFORM maps PREPEND ${CMAKE_SOURCE_DIR}/ui/res/)
    add_custom_command(OUTPUT ${ICON_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ICON_DIR}
        COMMAND ${ICONGEN} ${ICON_DIR}/${name} ${maps}
        DEPENDS ${ICONGEN} ${maps}
        COMMENT "Generating ${name}"
        VERBATIM)
    set(GENERATED_ICONS ${GENERATED_ICONS} ${ICON_DIR}/${name} PARENT_SCOPE)
endfunction()
pallwick_icon(mainframe.ico mainframe-32.txt mainframe-16.txt)
pallwick_icon(folder.ico folder-32.txt)

# The resource script names the icons by file name and finds them on its
# include path; what it embeds is not seen by the header scan, so say it.
target_sources(Pallwick PRIVATE ${GENERATED_ICONS})
target_include_directories(Pallwick PRIVATE ${ICON_DIR})
set_source_files_properties(${RESOURCE_SCRIPTS} PROPERTIES
    OBJECT_DEPENDS "${GENERATED_ICONS};${CMAKE_SOURCE_DIR}/ui/Pallwick.manifest")

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64" AND EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(tools/kaldris)
    add_subdirectory(tools/uidriver)
    add_subdirectory(tests/e2e)
endif()
