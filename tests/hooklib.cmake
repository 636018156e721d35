# Tests of the hook library. They link only the part of the library they exercise (and Qt's
# test module), not the program's core.
if(NOT TARGET hook_core)
    return()
endif()

function(tolvan_add_hook_test name)
    add_executable(${name} ${name}.cpp)
    target_link_libraries(${name} PRIVATE Qt6::Test tolvan_warnings ${ARGN})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()

tolvan_add_hook_test(tst_hookcore hook_core)

if(TARGET hook_linux)
    tolvan_add_hook_test(tst_hooklinux hook_linux)
endif()

if(TARGET hook_evdev)
    tolvan_add_hook_test(tst_hookevdev hook_evdev)
endif()

if(TARGET hook)
    tolvan_add_hook_test(tst_hookexports)
    target_include_directories(tst_hookexports PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_definitions(tst_hookexports PRIVATE HOOK_LIBRARY_PATH="$<TARGET_FILE:hook>")
    add_dependencies(tst_hookexports hook)
endif()
