# The fuzz targets build in their own clang build dir; fuzz/run.sh does that
# and runs each for a minute from its committed seed corpus. They share that
# build dir, so they never run at the same time.
add_test(NAME fuzz_wordgroups
         COMMAND bash ${PROJECT_SOURCE_DIR}/fuzz/run.sh 60 wordgroups
         WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
add_test(NAME fuzz_window
         COMMAND bash ${PROJECT_SOURCE_DIR}/fuzz/run.sh 60 window
         WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
set_tests_properties(fuzz_wordgroups fuzz_window PROPERTIES
    LABELS "fuzz" TIMEOUT 900 RESOURCE_LOCK build-fuzz)
