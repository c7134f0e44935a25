# Import libraries whose DLL is loaded at the first call into it rather than
# when the program starts. An unattended run never opens a window, so it
# never loads the window system's libraries; under Wine loading them costs
# about 50 ms of every start (their fonts are read at once).
#
#   add_delay_loaded_library(TARGET name)
# makes TARGET a library to link in place of the toolchain's lib<name>.a:
# the same functions, taken from the toolchain's import library, with
# lib<name>.dll loaded by the first one called.
function(add_delay_loaded_library target name)
  set(import /usr/${MINGW_TRIPLE}/lib/lib${name}.a)
  if(NOT EXISTS ${import})
    message(FATAL_ERROR "No import library ${import} to delay")
  endif()
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${name}_delay.def)
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${name}_delay.a)
  # 32-bit names carry their argument size (Name@8); the DLL exports them
  # without it.
  set(kill_at)
  set(underscore OFF)
  if(MINGW_TRIPLE MATCHES "^i686")
    set(kill_at --kill-at)
    set(underscore ON)
  endif()
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -DNM=${MINGW_TRIPLE}-nm -DIMPORT_LIB=${import} -DDLL=${name}.dll
            -DDEF=${def} -DLEADING_UNDERSCORE=${underscore} -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/write_import_def.cmake
    COMMAND ${MINGW_TRIPLE}-dlltool ${kill_at} --input-def ${def} --output-delaylib ${lib}
            --dllname ${name}.dll
    DEPENDS ${import} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/write_import_def.cmake
    COMMENT "Delay-loaded import library for ${name}.dll"
    VERBATIM)
  add_custom_target(${target}_build DEPENDS ${lib})
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${lib})
  add_dependencies(${target} ${target}_build)
endfunction()
