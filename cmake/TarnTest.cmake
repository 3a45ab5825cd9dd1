# tarn_add_test(NAME source...): one GoogleTest binary whose cases each show in
# ctest by name. Tests run headless: no screen, and SDL's dummy audio driver
# unless a test picks another.
function(tarn_add_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE tarn_test_support)
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy"
                   TIMEOUT 120)
endfunction()
