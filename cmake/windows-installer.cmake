# The per-user installers, made with NSIS once the Windows builds are done:
# build/kinaru-setup.exe (i686, the one to ship) and
# build/win64/kinaru-setup.exe (x86_64, the one the tests run under wine64),
# each with a portable zip of the same folder beside it.
find_program(KINARU_MAKENSIS makensis)
if(NOT KINARU_MAKENSIS)
  message(STATUS "makensis not found: the Windows installers are not made")
  return()
endif()
set(script ${CMAKE_SOURCE_DIR}/resources/windows/kinaru.nsi)
set(help ${CMAKE_SOURCE_DIR}/resources/Kinaru.html)
foreach(setup win32:x86:${CMAKE_BINARY_DIR}/win32:${KINARU_BIN_DIR}:stubs-win32:${CMAKE_BINARY_DIR}
              win64:amd64:${CMAKE_BINARY_DIR}/win64:${CMAKE_BINARY_DIR}/win64:stubs-win64:${CMAKE_BINARY_DIR}/win64)
  string(REPLACE ":" ";" setup ${setup})
  list(GET setup 0 build)
  list(GET setup 1 arch)
  list(GET setup 2 bin)
  list(GET setup 3 stubs)
  list(GET setup 4 stubs_target)
  list(GET setup 5 out)
  if(NOT TARGET ${build} OR NOT TARGET ${stubs_target})
    continue()
  endif()
  # The portable zip holds the same folder as the installer.
  set(portable ${CMAKE_CURRENT_BINARY_DIR}/portable-${arch})
  add_custom_target(kinaru-setup-${arch} ALL
    COMMAND ${KINARU_MAKENSIS} -V2 -DARCH=${arch} -DBIN=${bin} -DSTUBS=${stubs} -DHELP=${help}
            -DOUT=${out}/kinaru-setup.exe ${script}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${portable}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${portable}/Kinaru
    COMMAND ${CMAKE_COMMAND} -E copy ${bin}/kinaru.exe ${bin}/unlha32.dll ${stubs}/kinaru-sfx-console.exe
            ${stubs}/kinaru-sfx-window.exe ${help} ${portable}/Kinaru
    COMMAND ${CMAKE_COMMAND} -E chdir ${portable} ${CMAKE_COMMAND} -E tar cf ${out}/kinaru-portable.zip --format=zip Kinaru
    DEPENDS ${script} ${help}
    COMMENT "Making ${out}/kinaru-setup.exe"
    VERBATIM)
  add_dependencies(kinaru-setup-${arch} ${build} ${stubs_target})
endforeach()
