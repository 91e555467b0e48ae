# cmake -DSOURCE_DIR=... -P CheckModuleOrder.cmake
cmake_minimum_required(VERSION 3.25)
# Fails when a source folder includes a module it may not use. The modules stand in layers:
# the form at the bottom, then the story and the sound player, then the engine, then what only
# the views need, then the window. The page and the tools stand beside the window and never
# use it; each test folder keeps to the rule of what it tests.
set(modules form story sound engine look window)
set(allowed_form form)
set(allowed_story form story)
set(allowed_sound sound)
set(allowed_engine form story sound engine)
set(allowed_look form look)
set(allowed_window form story sound engine look window)
set(allowed_beside form story sound engine look)

# Each checked folder, then the rule it keeps.
set(folders
    src/form form  src/story story  src/sound sound  src/engine engine  src/look look
    src/window window  web beside  tools beside
    tests/engine engine  tests/support engine  tests/fuzz engine  tests/sound sound
    tests/packaging sound  tests/story beside  tests/tools beside  tests/window window
    tests/assets beside)

set(problems "")
# A test folder no rule names would go unchecked.
file(GLOB test_folders LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/tests/*)
foreach(folder IN LISTS test_folders)
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    if(IS_DIRECTORY ${SOURCE_DIR}/${folder} AND sources AND NOT folder IN_LIST folders)
        string(APPEND problems "\n  ${folder}: no rule says which modules it may use")
    endif()
endforeach()

list(LENGTH folders count)
math(EXPR last "${count} - 1")
foreach(index RANGE 0 ${last} 2)
    math(EXPR rule_index "${index} + 1")
    list(GET folders ${index} folder)
    list(GET folders ${rule_index} rule)
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(source IN LISTS sources)
        # Every spelling the compiler takes: indented, blanks after '#', quotes or brackets.
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][a-z_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([a-z_]+)/.*" "\\1" used "${line}")
            if(used IN_LIST modules AND NOT used IN_LIST allowed_${rule})
                file(RELATIVE_PATH shown ${SOURCE_DIR} ${source})
                string(STRIP "${line}" line)
                string(APPEND problems "\n  ${shown}: ${line} (${folder} may use: ${allowed_${rule}})")
            endif()
        endforeach()
    endforeach()
endforeach()
if(problems)
    message(FATAL_ERROR "Modules included out of order:${problems}")
endif()
message(STATUS "Every folder includes only the modules it may use.")
