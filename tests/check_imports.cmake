# Fails unless the executable imports only DLLs that every Windows has.
# usage: cmake -DOBJDUMP=... -DEXE=... -P check_imports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "DLL Name: " "")
list(SORT imports CASE INSENSITIVE)
message(STATUS "imports: ${imports}")
if(NOT imports STREQUAL "KERNEL32.dll;msvcrt.dll")
  message(FATAL_ERROR "demostamp.exe needs more than Windows' own DLLs: ${imports}")
endif()
