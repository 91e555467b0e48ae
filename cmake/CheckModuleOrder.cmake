# cmake -DSOURCE_DIR=... -P CheckModuleOrder.cmake
cmake_minimum_required(VERSION 3.25)
# Fails when a source folder includes a module it may not use. The modules stand in layers:
# the form at the bottom, then the story and the sound player, then the engine, then what only
# the views need, then the views and the tools on top.
set(allowed_form form)
set(allowed_story form story)
set(allowed_sound sound)
set(allowed_engine form story sound engine)
set(allowed_look form look)

set(problems "")
foreach(module form story sound engine look)
    file(GLOB_RECURSE sources ${SOURCE_DIR}/src/${module}/*.h ${SOURCE_DIR}/src/${module}/*.cpp)
    foreach(source IN LISTS sources)
        file(STRINGS ${source} includes REGEX "^#include \"[a-z_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" used "${line}")
            if(NOT used IN_LIST allowed_${module})
                file(RELATIVE_PATH shown ${SOURCE_DIR} ${source})
                string(APPEND problems "\n  ${shown}: ${line} (src/${module} may use: ${allowed_${module}})")
            endif()
        endforeach()
    endforeach()
endforeach()
if(problems)
    message(FATAL_ERROR "Modules included out of order:${problems}")
endif()
message(STATUS "Every module includes only the modules below it.")
