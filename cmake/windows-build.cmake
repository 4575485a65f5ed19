# Inside the Windows build (see windows.cmake): the archiver library, the
# unlha tool, the program kinaru.exe and the Windows test program, statically
# linked so that they need no DLL beyond what every Windows has.
if(NOT KINARU_WINDOWS_OUT)
  set(KINARU_WINDOWS_OUT ${CMAKE_BINARY_DIR}/out)
endif()
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${KINARU_WINDOWS_OUT})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${KINARU_WINDOWS_OUT})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
add_link_options(-static -s)
add_subdirectory(archiver)
add_subdirectory(tools)
add_subdirectory(src)
add_subdirectory(tests/windows)
