# Makes a delay-import library for a DLL from the toolchain's import library of it
# (cmake -P): every function that one names, loaded at its first call instead of at
# the process's start. Takes NM, DLLTOOL, IMPORT_LIBRARY, DLL and OUTPUT; 64-bit
# names only (32-bit ones would carry their stdcall sizes).
execute_process(COMMAND ${NM} -g ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "__imp_[^\n]+" imports "${symbols}")
set(exports "")
foreach(import ${imports})
  string(REGEX REPLACE "^__imp_" "" name "${import}")
  string(APPEND exports "${name}\n")
endforeach()
file(WRITE ${OUTPUT}.def "LIBRARY ${DLL}\nEXPORTS\n${exports}")
execute_process(COMMAND ${DLLTOOL} --input-def ${OUTPUT}.def --dllname ${DLL}
                        --output-delaylib ${OUTPUT}
                COMMAND_ERROR_IS_FATAL ANY)
