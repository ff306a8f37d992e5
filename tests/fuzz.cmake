# The fuzz target builds in its own clang build dir; fuzz/run.sh does that and
# runs it for a minute from the committed seed corpus.
add_test(NAME fuzz_wordgroups
         COMMAND bash ${PROJECT_SOURCE_DIR}/fuzz/run.sh 60
         WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
set_tests_properties(fuzz_wordgroups PROPERTIES LABELS "fuzz" TIMEOUT 900)
