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

# The Linux side: the loop against fakes, the libevdev layer, and the built libhook.so.
if(TARGET hook)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(LIBEVDEV REQUIRED IMPORTED_TARGET libevdev)
    tolvan_add_hook_test(tst_hooklinux hook_evdev PkgConfig::LIBEVDEV)
    target_compile_definitions(tst_hooklinux PRIVATE HOOK_LIBRARY_PATH="$<TARGET_FILE:hook>")
    add_dependencies(tst_hooklinux hook)
endif()
