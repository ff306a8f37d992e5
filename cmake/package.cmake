# The Debian package, built in the build directory with
#   cpack -G DEB
# as skarvel_<version>_<architecture>.deb. Its dependencies on the Qt and C++
# libraries come from dpkg-shlibdeps (Debian: dpkg-dev).
set(CPACK_PACKAGE_NAME skarvel)
set(CPACK_PACKAGE_VENDOR Pondrel)
set(CPACK_PACKAGE_CONTACT "Pondrel <info@pondrel.de>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "word and spelling trainer for aphasia therapy (German)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Skarvel is a drill for the speech and language therapy of aphasia. It shows
three German words on large buttons; the user picks the right one and is told
at once whether the choice was right. Two kinds of training: the right
spelling among two misspellings, or the word that belongs to a chosen word
group. The program speaks German only.

Skarvel ist ein Übungsprogramm für die Sprachtherapie bei Aphasie. Es zeigt
drei Wörter auf großen Schaltflächen; wer übt, wählt das richtige aus und
sieht sofort, ob die Wahl stimmt. Zwei Übungsarten: die richtige Schreibweise
unter zwei falschen finden oder das Wort, das zur gewählten Wortgruppe gehört.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.pondrel.de)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins at run time, so dpkg-shlibdeps cannot see them: the
# style and the SQLite driver of the patients' records. Qt 6 has no
# Cleanlooks; the program falls back to Fusion there.
if(SKARVEL_QT6)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6sql6-sqlite)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt5-style-plugin-cleanlooks, libqt5sql5-sqlite")
endif()
# Spoken words need Qt's speech-dispatcher plugin and a German voice, own word
# lists the German dictionary; without them the trainer stays silent, and the
# editor works without checking (speech/CMakeLists.txt). Qt's translations
# put Qt's own buttons and file dialogs into German.
if(SKARVEL_QT6)
    set(SKARVEL_QT_TRANSLATIONS qt6-translations-l10n)
else()
    set(SKARVEL_QT_TRANSLATIONS qttranslations5-l10n)
endif()
string(REPLACE ";" ", " CPACK_DEBIAN_PACKAGE_RECOMMENDS
       "${SKARVEL_SPEECH_PACKAGES};hunspell-de-de;${SKARVEL_QT_TRANSLATIONS}")
# The practice server needs Qt's PostgreSQL driver; a single computer's
# records do not.
if(SKARVEL_QT6)
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS libqt6sql6-psql)
else()
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS libqt5sql5-psql)
endif()
# The build keeps its debugging information; the package does not need it.
set(CPACK_STRIP_FILES ON)
if(UNIX AND NOT APPLE)
    set(CPACK_GENERATOR DEB)
endif()
include(CPack)
