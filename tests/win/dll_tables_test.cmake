# M450UI.dll imports from system DLLs only (its C and C++ runtimes are linked in: a host
# machine has no libstdc++, libgcc or libwinpthread) and exports exactly the two COM entry
# points the host looks up by name.
#   cmake -DOBJDUMP=<objdump> -DDLL=<M450UI.dll> -P dll_tables_test.cmake

cmake_minimum_required(VERSION 3.25)

set(allowed_imports
    kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
    comctl32.dll comdlg32.dll shlwapi.dll winspool.drv uxtheme.dll msvcrt.dll)
set(expected_exports DllCanUnloadNow DllGetClassObject)

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${result}")
endif()

# Imports: one "DLL Name: X" line per imported library.
string(REGEX MATCHALL "DLL Name: [^\r\n]+" import_lines "${dump}")
if(NOT import_lines)
    message(FATAL_ERROR "no import table found in ${DLL}")
endif()
set(failures "")
foreach(line IN LISTS import_lines)
    string(REGEX REPLACE "^DLL Name: " "" name "${line}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" lower)
    if(NOT lower IN_LIST allowed_imports AND NOT lower MATCHES "^api-ms-win-crt-[a-z0-9-]+\\.dll$")
        string(APPEND failures "  imports ${name}, which is not a system DLL\n")
    endif()
    message(STATUS "import: ${name}")
endforeach()

# Exports: the name-pointer table lists "[ n] name" (newer binutils add "+base[ n] hint").
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" table_start)
if(table_start EQUAL -1)
    message(FATAL_ERROR "no export name table found in ${DLL}")
endif()
string(SUBSTRING "${dump}" ${table_start} -1 table)
string(REGEX REPLACE "\n[ \t]*\n.*" "" table "${table}")  # up to the first blank line
string(REGEX MATCHALL "\n[ \t]*\\[[ 0-9]+\\][^\n]*" export_lines "${table}")
set(exports "")
foreach(line IN LISTS export_lines)
    string(REGEX MATCH "[A-Za-z_][A-Za-z0-9_@]*[ \t]*$" name "${line}")
    string(STRIP "${name}" name)
    list(APPEND exports "${name}")
    message(STATUS "export: ${name}")
endforeach()
list(SORT exports)
if(NOT exports STREQUAL expected_exports)
    string(APPEND failures "  exports are '${exports}', expected exactly '${expected_exports}'\n")
endif()

if(failures)
    message(FATAL_ERROR "M450UI.dll tables:\n${failures}")
endif()
