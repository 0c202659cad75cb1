# The Windows build (included by the top CMakeLists.txt when cross-building): the core, the real Windows
# services behind its interfaces, and the tests, which ctest runs through Wine.

file(GLOB_RECURSE NIMBREL_WINDOWS_SOURCES CONFIGURE_DEPENDS src/platform/windows/*.cpp src/platform/common/*.cpp)
add_library(nimbrel_platform_windows STATIC ${NIMBREL_WINDOWS_SOURCES})
target_link_libraries(nimbrel_platform_windows PUBLIC nimbrel_core)
target_link_libraries(nimbrel_platform_windows PRIVATE winhttp shell32 ole32 uuid advapi32 bcrypt user32)
# Wide-character Windows calls throughout; nothing from windows.h that the code does not ask for.
target_compile_definitions(nimbrel_platform_windows PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                           _WIN32_WINNT=0x0A00)

# The Win32 view, and Nimbrel.exe composing it with the behaviour and the Windows services.
enable_language(RC)
file(GLOB NIMBREL_WIN32_SOURCES CONFIGURE_DEPENDS src/ui/win32/*.cpp)
add_library(nimbrel_win32 STATIC ${NIMBREL_WIN32_SOURCES})
target_link_libraries(nimbrel_win32 PUBLIC nimbrel_platform_windows user32 gdi32 shell32 comdlg32 comctl32)
add_executable(nimbrel WIN32 src/program/windows/main.cpp src/ui/win32/Nimbrel.rc)
target_link_libraries(nimbrel PRIVATE nimbrel_win32)
# Windows 7 (6.1) is the oldest system it runs on, as its manifest says: the header asks for it too.
target_link_options(nimbrel PRIVATE -municode -Wl,--major-subsystem-version,6,--minor-subsystem-version,1
                    -Wl,--major-os-version,6,--minor-os-version,1)
set_target_properties(nimbrel PROPERTIES OUTPUT_NAME Nimbrel RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# The vendor's minisign public key (its base64 line) that updates must be signed with: by default the project's
# own, desktop/update-key.pub; a fork sets its own (README, "Publishing an update"); empty: none.
file(STRINGS ${PROJECT_SOURCE_DIR}/desktop/update-key.pub NIMBREL_PROJECT_UPDATE_KEY REGEX "^RW")
set(NIMBREL_UPDATE_KEY "${NIMBREL_PROJECT_UPDATE_KEY}" CACHE STRING "minisign public key that signs updates")
target_compile_definitions(nimbrel PRIVATE NIMBREL_UPDATE_KEY="${NIMBREL_UPDATE_KEY}")
set_source_files_properties(src/ui/win32/Nimbrel.rc PROPERTIES
  INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/src/ui/win32
  COMPILE_DEFINITIONS "NIMBREL_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};NIMBREL_VERSION_MINOR=${PROJECT_VERSION_MINOR}")

if(NOT NIMBREL_BUILD_TESTS)
  return()
endif()

# Test programs run under Wine in a prefix of this build's own, quietly and without a display.
find_program(NIMBREL_WINE NAMES wine64 wine HINTS /usr/lib/wine)
set(NIMBREL_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
if(NIMBREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env WINEPREFIX=${NIMBREL_WINEPREFIX} WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= DISPLAY= ${NIMBREL_WINE})
endif()

# GoogleTest, cross-built from Debian's sources.
set(NIMBREL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${NIMBREL_GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL)
# Its own warnings are not this project's to fix (it makes the GTest:: names itself).
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)

# Tests are listed when ctest runs, so the build itself needs no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
enable_testing()
add_subdirectory(tests)
