# Each source folder under src/ is one module, included as "<module>/file.h". A target sees only
# the modules it links: every module gets an include root of its own in the build tree, holding
# just a link to its folder, so an include of a module that is not linked does not compile.

# tovik_folder_includes(TARGET NAME FOLDER): FOLDER's headers are included as "NAME/...", and
# nothing beside FOLDER is seen through it.
function(tovik_folder_includes target name folder)
    set(root ${PROJECT_BINARY_DIR}/module_includes/${name})
    if(NOT EXISTS ${root}/${name})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${folder} ${root}/${name} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
endfunction()

# tovik_module_includes(TARGET MODULE): TARGET's headers are included as "MODULE/...".
function(tovik_module_includes target module)
    tovik_folder_includes(${target} ${module} ${PROJECT_SOURCE_DIR}/src/${module})
endfunction()

# tovik_warnings(TARGET): the warnings every target of ours is built with.
function(tovik_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                                             $<$<BOOL:${TOVIK_WERROR}>:-Werror>)
endfunction()
