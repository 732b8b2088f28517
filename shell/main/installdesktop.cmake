# Installs the program into the user's desktop: its entry (starting PROGRAM with the file opened),
# its icon and the project file type, below $XDG_DATA_HOME (else ~/.local/share), then refreshes
# the desktop's databases where their tools are installed.
#   cmake -DPROGRAM=/path/to/vkt -DRESOURCES=/path/to/resources/vkt -P installdesktop.cmake
if(NOT PROGRAM OR NOT RESOURCES)
  message(FATAL_ERROR "usage: cmake -DPROGRAM=<vkt> -DRESOURCES=<resources/vkt> -P installdesktop.cmake")
endif()
if(DEFINED ENV{XDG_DATA_HOME} AND IS_ABSOLUTE "$ENV{XDG_DATA_HOME}")
  set(data "$ENV{XDG_DATA_HOME}")
elseif(DEFINED ENV{HOME})
  set(data "$ENV{HOME}/.local/share")
else()
  message(FATAL_ERROR "Neither XDG_DATA_HOME nor HOME is set: there is no data folder to install into.")
endif()

# The program's path as one quoted argument of the entry's Exec line: the quoting escapes come
# first, then the string escape of every backslash, and a percent sign is doubled.
set(VKT_PROGRAM "${PROGRAM}")
string(REPLACE "\\" "\\\\\\\\" VKT_PROGRAM "${VKT_PROGRAM}")
foreach(special "\"" "`" "$")
  string(REPLACE "${special}" "\\\\${special}" VKT_PROGRAM "${VKT_PROGRAM}")
endforeach()
string(REPLACE "%" "%%" VKT_PROGRAM "${VKT_PROGRAM}")
set(desktop "${RESOURCES}/desktop")
configure_file("${desktop}/vkt.desktop.in" "${data}/applications/vkt.desktop" @ONLY)
file(INSTALL "${RESOURCES}/images/appicon.svg" DESTINATION "${data}/icons/hicolor/scalable/apps"
  RENAME vkt.svg MESSAGE_NEVER)
file(INSTALL "${RESOURCES}/images/appicon.png" DESTINATION "${data}/icons/hicolor/64x64/apps"
  RENAME vkt.png MESSAGE_NEVER)
file(INSTALL "${desktop}/vkt-mime.xml" DESTINATION "${data}/mime/packages" RENAME vkt.xml MESSAGE_NEVER)

find_program(update_mime update-mime-database)
if(update_mime)
  execute_process(COMMAND "${update_mime}" "${data}/mime" RESULT_VARIABLE result)
  if(result)
    message(WARNING "update-mime-database failed (${result}): .vktprj files open with the program after the next login.")
  endif()
endif()
find_program(update_desktop update-desktop-database)
if(update_desktop)
  execute_process(COMMAND "${update_desktop}" "${data}/applications")
endif()
message(STATUS "Installed the desktop entry, icon and project file type below ${data}")
