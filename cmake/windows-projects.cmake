# Windows builds: this project, or a part of it, configured again with a
# MinGW-w64 toolchain (cmake/mingw.cmake) as an external project. Each is
# skipped with a message when its cross compiler is missing;
# -DKINARU_WINDOWS=OFF leaves every one of them out.
option(KINARU_WINDOWS "Cross-build the Windows archiver, stubs and program when MinGW-w64 is found" ON)
include(ExternalProject)

# kinaru_windows_project(<name> SOURCE <dir> ARCH i686|x86_64 THREADS posix|win32 OUT <dir>
#                        [ARGS <cmake argument>...] [DEPENDS <target>...])
# Defines target <name> unless the build is impossible; the products land in OUT.
function(kinaru_windows_project name)
  cmake_parse_arguments(arg "" "SOURCE;ARCH;THREADS;OUT" "ARGS;DEPENDS" ${ARGN})
  if(NOT KINARU_WINDOWS)
    return()
  endif()
  find_program(KINARU_MINGW_${arg_ARCH}_${arg_THREADS} ${arg_ARCH}-w64-mingw32-g++-${arg_THREADS})
  if(NOT KINARU_MINGW_${arg_ARCH}_${arg_THREADS})
    message(STATUS "${arg_ARCH}-w64-mingw32-g++-${arg_THREADS} not found: ${name} is not built")
    return()
  endif()
  ExternalProject_Add(${name}
    SOURCE_DIR ${arg_SOURCE}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${name}-build
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw.cmake
      -DKINARU_MINGW_ARCH=${arg_ARCH} -DKINARU_MINGW_THREADS=${arg_THREADS}
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
      -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
      -DKINARU_WINDOWS_OUT=${arg_OUT}
      ${arg_ARGS}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j2
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    DEPENDS ${arg_DEPENDS})
  # One after the other: the machine is small.
  get_property(before GLOBAL PROPERTY KINARU_WINDOWS_PROJECTS)
  if(before)
    list(GET before -1 last)
    add_dependencies(${name} ${last})
  endif()
  set_property(GLOBAL APPEND PROPERTY KINARU_WINDOWS_PROJECTS ${name})
endfunction()
