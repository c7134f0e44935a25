# Writes a module definition file of every function an import library
# imports: cmake -DNM=... -DIMPORT_LIB=... -DDLL=... -DDEF=...
# [-DLEADING_UNDERSCORE=ON] -P this. 32-bit names start with an underscore
# that the DLL's exports don't have.
execute_process(COMMAND ${NM} ${IMPORT_LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not read ${IMPORT_LIB}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(names)
foreach(line IN LISTS lines)
  # "00000000 I __imp__Name@8" (32 bit) or "... I __imp_Name" (64 bit).
  if(line MATCHES " I __imp_(.+)$")
    set(name ${CMAKE_MATCH_1})
    if(LEADING_UNDERSCORE)
      string(REGEX REPLACE "^_" "" name "${name}")
    endif()
    list(APPEND names "${name}")
  endif()
endforeach()
list(REMOVE_DUPLICATES names)
list(LENGTH names count)
if(count EQUAL 0)
  message(FATAL_ERROR "${IMPORT_LIB} imports nothing")
endif()
list(JOIN names "\n  " body)
file(WRITE ${DEF} "LIBRARY ${DLL}\nEXPORTS\n  ${body}\n")
