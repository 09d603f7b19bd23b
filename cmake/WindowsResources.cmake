# zentrola_windows_resources(TARGET DESCRIPTION): the icon and a version resource compiled into
# a Windows program; nothing elsewhere.
function(zentrola_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(ZENTROLA_RC_NAME ${target})
  set(ZENTROLA_RC_FILE ${target}.exe)
  set(ZENTROLA_RC_DESCRIPTION "${description}")
  set(ZENTROLA_RC_ICON ${CMAKE_SOURCE_DIR}/packaging/windows/zentrola.ico)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
