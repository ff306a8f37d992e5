# The built program in Xvfb, started once on each kind of damaged settings
# (issue list of the settings store) and closed again: run alone with
#   ctest -L blackbox
add_test(NAME blackbox_damaged_settings
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/blackbox/test_damaged_settings.py
                 $<TARGET_FILE:skarvel>)
set_tests_properties(blackbox_damaged_settings PROPERTIES LABELS "blackbox" TIMEOUT 300)
