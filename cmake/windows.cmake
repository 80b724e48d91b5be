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

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64" AND EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(tools/kaldris)
    add_subdirectory(tools/uidriver)
    add_subdirectory(tests/e2e)
endif()
