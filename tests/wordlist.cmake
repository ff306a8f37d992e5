# Spelling check of the word material against the German hunspell dictionary.
add_test(NAME wordlist_spelling
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wordlist_spelling.sh
            ${PROJECT_SOURCE_DIR}/resources/data/wordgroups.dat)
set_tests_properties(wordlist_spelling PROPERTIES
    LABELS "unit"
    ENVIRONMENT "LC_ALL=C.UTF-8")
