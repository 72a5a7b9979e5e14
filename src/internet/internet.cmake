# Internet services. vexal_internetcore: the version file, stat-file names, the update
# notice text, HTML to text and the libcurl transfers, without Qt. vexal_internet: the stats download
# window, the FTP client on the event loop, the version checker, the document download control.
if(NOT TARGET CURL::libcurl)
  message(WARNING "libcurl not found: the internet services are not built")
  return()
endif()
add_library(vexal_internetcore STATIC
  ${CMAKE_CURRENT_LIST_DIR}/VersionFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Html2Text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpdateNotice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InternetSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CurlTransfer.cpp)
target_include_directories(vexal_internetcore PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_internetcore PUBLIC vexal_runtime CURL::libcurl)

add_library(vexal_internet STATIC
  ${CMAKE_CURRENT_LIST_DIR}/FtpClient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DownloadWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpdateChecker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TSGet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpdateNoticeHandler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InternetWindows.cpp)
target_include_directories(vexal_internet PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vexal_internet PUBLIC vexal_internetcore vexal_shell Qt6::Widgets)
