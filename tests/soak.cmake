# The long mixed session with the real training window (tst_soak): labelled
# of its own, and with room for its 20,000 items on a slow machine. Run alone
# with
#   ctest -L soak
target_sources(tst_soak PRIVATE windowmodel.h windowmodel.cpp)
set_tests_properties(tst_soak PROPERTIES LABELS "soak" TIMEOUT 900)
