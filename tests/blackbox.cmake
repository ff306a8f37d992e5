# The built program in a real X server (Xvfb): run alone with
#   ctest -L blackbox
add_test(NAME blackbox_skarvel
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/blackbox/test_skarvel.py
                 $<TARGET_FILE:skarvel> ${CMAKE_BINARY_DIR}/skarvel-screenshot.png)
set_tests_properties(blackbox_skarvel PROPERTIES LABELS "blackbox" TIMEOUT 180)
