# The host build: the class library and the installer, unchanged, on the
# simulated Windows, tested with GoogleTest under ASan and UBSan.
option(PALLWICK_SANITIZE "Build host tests with AddressSanitizer and UBSan" ON)
if(PALLWICK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

file(GLOB SIM_SOURCES CONFIGURE_DEPENDS platform/sim/*.cpp)
add_library(pallwick_core OBJECT ${PLATFORM_SOURCES} ${INSTALLER_SOURCES} ${SIM_SOURCES})
target_include_directories(pallwick_core PUBLIC ${CMAKE_SOURCE_DIR})

find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(pallwick_unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(pallwick_unit_tests PRIVATE pallwick_core GTest::gtest GTest::gtest_main)
target_compile_definitions(pallwick_unit_tests PRIVATE PALLWICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(pallwick_unit_tests DISCOVERY_MODE PRE_TEST)

# The icon generator of the Windows builds is plain C++: its encoder is
# tested here, and so are the pixel maps it reads.
target_sources(pallwick_unit_tests PRIVATE tools/icongen/icon.cpp)
