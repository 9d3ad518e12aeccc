# Fails when PROGRAM loads, itself or through any library it loads, the
# window system or a sound device: X11, XF86VidMode, GLX, SDL2 or libpulse.
# The dynamic loader's own list (ldd) is read, so libraries that only come
# in through another library count too.
#   cmake -DPROGRAM=<program> -P window_free_links.cmake
if(NOT PROGRAM OR NOT EXISTS "${PROGRAM}")
  message(FATAL_ERROR "no program to check: '${PROGRAM}'")
endif()
execute_process(COMMAND ldd "${PROGRAM}" RESULT_VARIABLE status OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT listing MATCHES "libc\\.so")
  message(FATAL_ERROR "ldd cannot list what ${PROGRAM} loads (status ${status}): ${errors}${listing}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(found "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*((libX11|libXxf86vm|libGLX|libSDL2|libpulse)[^ \t]*)")
    list(APPEND found "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(found)
  list(JOIN found ", " names)
  message(FATAL_ERROR "${PROGRAM} links ${names}")
endif()
message(STATUS "${PROGRAM} links no window system or sound device")
