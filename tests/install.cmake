# The installed tree (desktop entry, metainfo, icons) in a scratch DESTDIR:
#   ctest -L install
if(UNIX AND NOT APPLE)
    add_test(NAME install_tree
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install_check.sh
                     ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
    set_tests_properties(install_tree PROPERTIES LABELS "install" TIMEOUT 300)
endif()

add_test(NAME icon_files
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/icon_files.sh ${PROJECT_SOURCE_DIR}/resources)
set_tests_properties(icon_files PROPERTIES LABELS "unit")
