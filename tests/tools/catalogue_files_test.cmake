# cmake -DSTORY=tovik-story -DSOURCE_DIR=... -DWORK_DIR=... -P catalogue_files_test.cmake
# The translation files keep up with the game: the template is the one tovik-story writes from
# the game's tables, and every catalogue is complete, with nothing fuzzy, as msgfmt sees it.
cmake_minimum_required(VERSION 3.25)
set(fresh ${WORK_DIR}/tovik.pot)
execute_process(COMMAND ${STORY} pot ${fresh} RESULT_VARIABLE written)
if(NOT written EQUAL 0)
    message(FATAL_ERROR "tovik-story pot failed (${written})")
endif()
file(READ ${fresh} made)
file(READ ${SOURCE_DIR}/po/tovik.pot kept)
if(NOT made STREQUAL kept)
    message(FATAL_ERROR "po/tovik.pot is out of date: run `tovik-story pot po/tovik.pot`, then "
                        "`msgmerge --update po/LL.po po/tovik.pot` and translate what changed")
endif()
file(GLOB catalogues ${SOURCE_DIR}/po/*.po)
foreach(catalogue IN LISTS catalogues)
    execute_process(COMMAND msgfmt --check --statistics -o /dev/null ${catalogue}
                    RESULT_VARIABLE checked ERROR_VARIABLE said)
    if(NOT checked EQUAL 0 OR said MATCHES "fuzzy|untranslated")
        message(FATAL_ERROR "${catalogue}: ${said}")
    endif()
    # Entries the template no longer has are texts changed or gone since their translation.
    execute_process(COMMAND msgcmp ${catalogue} ${fresh}
                    RESULT_VARIABLE compared ERROR_VARIABLE differences)
    if(NOT compared EQUAL 0)
        message(FATAL_ERROR "${catalogue} does not match the game's texts:\n${differences}")
    endif()
    message(STATUS "${catalogue}: ${said}")
endforeach()
