# The Windows build (cross-compiled with cmake/mingw-w64-x86_64.cmake): the game on the Win32
# layer, the simulator and the suites that need neither SDL nor a shell, all linked statically
# so that the folder needs no DLL beside the system's. The pictures and sounds come from the
# asset generator built natively; `make windows` runs it and hands its folder over as
# PLUSRAIL_ASSET_DIR, and the icon it draws as PLUSRAIL_ICON.
add_link_options(-static -static-libgcc -static-libstdc++)

set(PLUSRAIL_ASSET_DIR "" CACHE PATH "folder holding bmp/ and wave/ from plusrail-assetgen")
set(PLUSRAIL_ICON "" CACHE FILEPATH "the game's .ico from plusrail-assetgen --icon")
set(PLUSRAIL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
set(PLUSRAIL_NLOHMANN_INCLUDE /usr/include/nlohmann CACHE PATH "nlohmann/json's header folder")

# Header-only libraries get a folder of their own: the build machine's /usr/include must not
# reach the cross compiler.
set(PLUSRAIL_WINDOWS_INCLUDE ${CMAKE_BINARY_DIR}/include)
file(COPY ${PLUSRAIL_NLOHMANN_INCLUDE} DESTINATION ${PLUSRAIL_WINDOWS_INCLUDE})

# The game.
enable_language(RC)
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/win32/*.cpp)
# The layer apart from the process entry and the game's run, so that its own suite links it.
set(WIN32_ENTRY_SOURCES ${CMAKE_SOURCE_DIR}/platform/win32/win32_main.cpp
                        ${CMAKE_SOURCE_DIR}/platform/win32/win32_game.cpp)
list(REMOVE_ITEM WIN32_SOURCES ${WIN32_ENTRY_SOURCES})
add_library(plusrail_win32 STATIC ${WIN32_SOURCES})
target_include_directories(plusrail_win32 PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(plusrail_win32 PUBLIC ddraw dsound dxguid winmm gdi32 user32)
# Unicode entry points; no min/max macros to clash with the standard library.
target_compile_definitions(plusrail_win32 PUBLIC UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
if(NOT PLUSRAIL_ICON)
  message(FATAL_ERROR "PLUSRAIL_ICON names the .ico (plusrail-assetgen --icon FILE); `make windows` makes it")
endif()
configure_file(${CMAKE_SOURCE_DIR}/platform/win32/plusrail.rc.in ${CMAKE_BINARY_DIR}/plusrail.rc @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/platform/win32/plusrail.manifest
               ${CMAKE_BINARY_DIR}/plusrail.manifest COPYONLY)
add_executable(plusrail WIN32 ${WIN32_ENTRY_SOURCES} ${CMAKE_BINARY_DIR}/plusrail.rc)
# The core calls the boundary the layer implements.
target_link_libraries(plusrail PRIVATE "$<LINK_GROUP:RESCAN,plusrail_core,plusrail_win32>")

# The simulator.
file(GLOB SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/sim/*.cpp)
add_executable(plusrail-sim ${SIM_SOURCES})
target_include_directories(plusrail-sim PRIVATE ${PLUSRAIL_WINDOWS_INCLUDE})
target_link_libraries(plusrail-sim PRIVATE plusrail_headless_program)
set_target_properties(plusrail-sim PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The folder to hand out: the game, its pictures and sounds, and a zip of it beside.
set(PLUSRAIL_DIST ${CMAKE_BINARY_DIR}/dist)
add_custom_target(dist
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PLUSRAIL_DIST}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PLUSRAIL_DIST}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:plusrail> ${PLUSRAIL_DIST}/plusrail.exe
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PLUSRAIL_ASSET_DIR}/bmp ${PLUSRAIL_DIST}/bmp
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PLUSRAIL_ASSET_DIR}/wave ${PLUSRAIL_DIST}/wave
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_BINARY_DIR}/plusrail-windows.zip
  COMMAND ${CMAKE_COMMAND} -E chdir ${PLUSRAIL_DIST}
          ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/plusrail-windows.zip --format=zip
          plusrail.exe bmp wave
  DEPENDS plusrail
  COMMENT "Putting together dist/ and plusrail-windows.zip"
  VERBATIM)

# The portable suites, run by `ctest` under Wine (the toolchain file makes Wine the emulator).
# Those that start programs through a shell stay on the Linux build.
include(CTest)
if(BUILD_TESTING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${PLUSRAIL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  add_library(plusrail_testsupport STATIC ${SUPPORT_SOURCES})
  target_include_directories(plusrail_testsupport PUBLIC ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(plusrail_testsupport PUBLIC plusrail_headless_program GTest::gtest)
  # Warnings of GoogleTest's own sources are not this project's.
  foreach(library gtest gmock gtest_main gmock_main)
    if(TARGET ${library})
      target_compile_options(${library} PRIVATE -w)
    endif()
  endforeach()

  include(GoogleTest)
  get_filename_component(PLUSRAIL_ASSET_PARENT ${PLUSRAIL_ASSET_DIR} DIRECTORY)
  file(GLOB TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)
  list(FILTER TEST_SOURCES EXCLUDE REGEX "/(assets|golden|sim|replay|win32_platform)_test\\.cpp$")
  set(PLUSRAIL_WINDOWS_SUITES)
  foreach(source ${TEST_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE plusrail_testsupport)
    # mingw's gcc 12 sees an overlap in "text" + std::string that cannot happen (its
    # -Wrestrict false positive on the inlined string insert).
    target_compile_options(${name} PRIVATE -Wno-restrict)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    list(APPEND PLUSRAIL_WINDOWS_SUITES ${name})
    # Each case in a process of its own, as on Linux; the suites look for the generated
    # pictures and sounds in PLUSRAIL_BINARY_DIR/game.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
      PROPERTIES ENVIRONMENT "PLUSRAIL_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
                 ENVIRONMENT_MODIFICATION "PLUSRAIL_BINARY_DIR=set:${PLUSRAIL_ASSET_PARENT}")
  endforeach()
  if(TARGET sound_levels_test)
    target_link_libraries(sound_levels_test PRIVATE plusrail_mix_bus)
  endif()
  add_library(test_image_plugin SHARED ${CMAKE_SOURCE_DIR}/tests/plugin/test_image_plugin.cpp)
  target_include_directories(test_image_plugin PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(test_image_plugin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
                                                     PREFIX "")
  if(TARGET bitmap_test)
    add_dependencies(bitmap_test test_image_plugin)
    target_compile_definitions(bitmap_test PRIVATE
      TEST_IMAGE_PLUGIN="$<TARGET_FILE:test_image_plugin>")
  endif()
  # The Windows layer's own suite, on the real system calls instead of the headless machine.
  add_executable(win32_platform_test ${CMAKE_SOURCE_DIR}/tests/win32_platform_test.cpp)
  target_link_libraries(win32_platform_test PRIVATE plusrail_win32 GTest::gtest_main)
  target_compile_definitions(win32_platform_test PRIVATE
    PLUSRAIL_GAME_EXE="$<TARGET_FILE:plusrail>")
  add_dependencies(win32_platform_test plusrail)
  set_target_properties(win32_platform_test PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(win32_platform_test DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  list(APPEND PLUSRAIL_WINDOWS_SUITES win32_platform_test)
  add_custom_target(windows_suites DEPENDS ${PLUSRAIL_WINDOWS_SUITES})
endif()
