# Each source folder under src/ is one module, included as "<module>/file.h". A target sees only
# the modules it links: every module gets an include root of its own in the build tree, holding
# just a link to its folder, so an include of a module that is not linked does not compile.

# tovik_module_includes(TARGET MODULE): TARGET's headers are included as "MODULE/...".
function(tovik_module_includes target module)
    set(root ${PROJECT_BINARY_DIR}/module_includes/${module})
    if(NOT EXISTS ${root}/${module})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${module} ${root}/${module} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
endfunction()

# tovik_warnings(TARGET): the warnings every target of ours is built with.
function(tovik_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                                             $<$<BOOL:${TOVIK_WERROR}>:-Werror>)
endfunction()
