# The Debian package built with CPack, installed with apt-get, started in Xvfb
# and removed again; changes the system's packages, so it runs as root only
# (skipped otherwise) and alone:
#   ctest -L package
if(UNIX AND NOT APPLE)
    if(SKARVEL_QT6)
        set(skarvel_package_style fusion)
    else()
        set(skarvel_package_style cleanlooks)
    endif()
    add_test(NAME package_deb
             COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/blackbox/test_package.py
                     ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} ${PROJECT_VERSION}
                     ${skarvel_package_style})
    set_tests_properties(package_deb PROPERTIES
        LABELS "package" RUN_SERIAL ON SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()
