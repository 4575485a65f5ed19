# Installing: every runnable piece goes into one folder (as build/bin holds
# them), so that the program finds its library and stub beside itself. The
# commands are linked into the user's bin folder; a desktop entry (which
# claims no file types) and a "Kinaru で圧縮" action for each file manager
# make the program reachable from the desktop.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local/opt/kinaru" CACHE PATH "Install folder" FORCE)
endif()

install(DIRECTORY ${KINARU_BIN_DIR}/ DESTINATION . USE_SOURCE_PERMISSIONS
  PATTERN "*.ini" EXCLUDE
  PATTERN "screenshot*" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/resources/kinaru.svg DESTINATION .)
# Tells the program that it is installed, so that it keeps its settings in
# the user's configuration folder rather than beside itself.
install(CODE [[
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  if(DEFINED ENV{DESTDIR})
    set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  endif()
  file(WRITE "${prefix}/kinaru.installed" "")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${prefix}/kinaru.installed")
]])

install(CODE "set(KINARU_RESOURCES \"${CMAKE_SOURCE_DIR}/resources\")
  set(KINARU_THUNAR_ACTION \"${CMAKE_SOURCE_DIR}/scripts/thunar-action\")")
install(CODE [[
  # Where the links, the entry and the actions go; the installer may redirect them.
  set(home "$ENV{HOME}")
  set(data_home "$ENV{XDG_DATA_HOME}")
  if(NOT data_home MATCHES "^/")
    set(data_home "${home}/.local/share")
  endif()
  set(config_home "$ENV{XDG_CONFIG_HOME}")
  if(NOT config_home MATCHES "^/")
    set(config_home "${home}/.config")
  endif()
  set(bin_dir "$ENV{KINARU_BIN_DIR}")
  if(bin_dir STREQUAL "")
    set(bin_dir "${home}/.local/bin")
  endif()
  set(applications_dir "$ENV{KINARU_APPLICATIONS_DIR}")
  if(applications_dir STREQUAL "")
    set(applications_dir "${data_home}/applications")
  endif()
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  if(DEFINED ENV{DESTDIR})
    set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  endif()

  # The path is written into desktop entries, XML and a shell script; rather
  # than quote it four ways, refuse the few characters that need quoting.
  if(CMAKE_INSTALL_PREFIX MATCHES "[\"'`$\\%&<>]")
    message(FATAL_ERROR "The install folder may not contain any of \" ' ` $ \\ % & < >: ${CMAKE_INSTALL_PREFIX}")
  endif()
  set(KINARU_EXEC "${CMAKE_INSTALL_PREFIX}/kinaru")
  set(KINARU_ICON "${CMAKE_INSTALL_PREFIX}/kinaru.svg")

  file(MAKE_DIRECTORY "${bin_dir}")
  foreach(command kinaru unlha)
    if(EXISTS "${prefix}/${command}")
      file(REMOVE "${bin_dir}/${command}")
      file(CREATE_LINK "${prefix}/${command}" "${bin_dir}/${command}" SYMBOLIC)
      message(STATUS "Linking: ${bin_dir}/${command}")
      list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${bin_dir}/${command}")
    endif()
  endforeach()

  set(pieces
    "kinaru.desktop.in|${applications_dir}/kinaru.desktop|644"
    "actions/dolphin.desktop.in|${data_home}/kio/servicemenus/kinaru-compress.desktop|755"
    "actions/nautilus.sh.in|${data_home}/nautilus/scripts/Kinaru で圧縮|755"
    "actions/nemo.nemo_action.in|${data_home}/nemo/actions/kinaru-compress.nemo_action|644"
    "actions/file-manager.desktop.in|${data_home}/file-manager/actions/kinaru-compress.desktop|644")
  foreach(piece IN LISTS pieces)
    string(REPLACE "|" ";" piece "${piece}")
    list(GET piece 0 template)
    list(GET piece 1 target)
    list(GET piece 2 mode)
    configure_file("${KINARU_RESOURCES}/${template}" "${target}" @ONLY)
    if(mode STREQUAL "755")
      file(CHMOD "${target}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
        GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
    message(STATUS "Installing: ${target}")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
  endforeach()

  # Thunar keeps every custom action in one file: ours joins the others.
  configure_file("${KINARU_RESOURCES}/actions/thunar.xml.in" "${prefix}/thunar-action.xml" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${prefix}/thunar-action.xml")
  execute_process(COMMAND sh "${KINARU_THUNAR_ACTION}" add "${config_home}/Thunar/uca.xml"
    "${prefix}/thunar-action.xml" RESULT_VARIABLE failed)
  if(failed)
    message(WARNING "Thunar's action could not be added")
  endif()
  message(STATUS "Adding the action to: ${config_home}/Thunar/uca.xml")

  # Menus read the entries through this cache; it is refreshed on uninstall too.
  find_program(update_desktop_database update-desktop-database)
  if(update_desktop_database)
    execute_process(COMMAND "${update_desktop_database}" "${applications_dir}" ERROR_QUIET)
  endif()
]])
