# Installing: every runnable piece goes into one folder (as build/bin holds
# them), so that the settings file beside the executable is writable and the
# program finds its library and stub beside itself. Commands are linked into
# the user's bin folder and a desktop entry offers Kinaru for files and folders.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local/opt/kinaru" CACHE PATH "Install folder" FORCE)
endif()

install(DIRECTORY ${KINARU_BIN_DIR}/ DESTINATION . USE_SOURCE_PERMISSIONS
  PATTERN "*.ini" EXCLUDE
  PATTERN "screenshot*" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/resources/kinaru.svg DESTINATION .)

set(KINARU_DESKTOP_TEMPLATE ${CMAKE_SOURCE_DIR}/resources/kinaru.desktop.in)
install(CODE "set(KINARU_DESKTOP_TEMPLATE \"${KINARU_DESKTOP_TEMPLATE}\")")
install(CODE [[
  # Where the links and the desktop entry go; the installer may redirect them.
  set(bin_dir "$ENV{KINARU_BIN_DIR}")
  if(bin_dir STREQUAL "")
    set(bin_dir "$ENV{HOME}/.local/bin")
  endif()
  set(applications_dir "$ENV{KINARU_APPLICATIONS_DIR}")
  if(applications_dir STREQUAL "")
    set(applications_dir "$ENV{HOME}/.local/share/applications")
  endif()
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  if(DEFINED ENV{DESTDIR})
    set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  endif()

  file(MAKE_DIRECTORY "${bin_dir}" "${applications_dir}")
  foreach(command kinaru unlha)
    if(EXISTS "${prefix}/${command}")
      file(REMOVE "${bin_dir}/${command}")
      file(CREATE_LINK "${prefix}/${command}" "${bin_dir}/${command}" SYMBOLIC)
      message(STATUS "Linking: ${bin_dir}/${command}")
      list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${bin_dir}/${command}")
    endif()
  endforeach()

  set(KINARU_ICON "${CMAKE_INSTALL_PREFIX}/kinaru.svg")
  configure_file("${KINARU_DESKTOP_TEMPLATE}" "${applications_dir}/kinaru.desktop" @ONLY)
  message(STATUS "Installing: ${applications_dir}/kinaru.desktop")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${applications_dir}/kinaru.desktop")
]])
