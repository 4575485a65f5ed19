# The archiver for Windows, cross-built when MinGW-w64 is installed: the
# same project configured with a MinGW toolchain, its products in
# build/win32 (i686) and build/win64 (x86_64).
include(ExternalProject)
set(KINARU_WINDOWS_BUILDS "")
foreach(pair win32:i686 win64:x86_64)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 name)
  list(GET pair 1 arch)
  find_program(KINARU_MINGW_${arch} ${arch}-w64-mingw32-g++-posix)
  if(NOT KINARU_MINGW_${arch})
    message(STATUS "${arch}-w64-mingw32-g++-posix not found: the ${name} archiver is not built")
    continue()
  endif()
  ExternalProject_Add(${name}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${name}-build
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw.cmake
      -DKINARU_MINGW_ARCH=${arch} -DKINARU_MINGW_THREADS=posix
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
      -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
      -DKINARU_WINDOWS_OUT=${CMAKE_BINARY_DIR}/${name}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j2
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  # One after the other: the machine is small.
  if(KINARU_WINDOWS_BUILDS)
    add_dependencies(${name} ${KINARU_WINDOWS_BUILDS})
  endif()
  list(APPEND KINARU_WINDOWS_BUILDS ${name})
endforeach()
