# tarn_add_test(NAME SOURCES source... LINKS target...): one GoogleTest binary
# whose cases each show in ctest by name, linking only the targets given.
# Tests run headless: no screen, and the SDL output on its dummy driver unless
# a test picks another.
function(tarn_add_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LINKS")
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LINKS} tarn_test_main)
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;TARNWICK_SOUND_BACKEND=sdl"
                   TIMEOUT 120)
endfunction()
