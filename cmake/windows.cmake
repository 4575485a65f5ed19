# The archiver and kinaru.exe for Windows: unlha32.dll, unlha.exe, the program
# (with the pictures the Qt face draws) and the test programs, in
# build/win32 (i686) and build/win64 (x86_64).
set(KINARU_WINDOWS_BUILDS "")
foreach(pair win32:i686 win64:x86_64)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 name)
  list(GET pair 1 arch)
  kinaru_windows_project(${name} SOURCE ${CMAKE_SOURCE_DIR} ARCH ${arch} THREADS posix OUT ${CMAKE_BINARY_DIR}/${name}
                         ARGS -DKINARU_PICTURES=${KINARU_PICTURES} DEPENDS kinaru_pictures)
  if(TARGET ${name})
    list(APPEND KINARU_WINDOWS_BUILDS ${name})
  endif()
endforeach()
include(cmake/windows-installer.cmake)
