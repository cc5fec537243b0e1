# The interface's catalogues. The Japanese texts in the sources are the
# source texts; resources/translations holds a catalogue per other language.
# lrelease compiles them at build time into the program folder's
# translations/ (installed beside the program); lupdate serves the
# `orbet_update_translations` target and the test that finds texts missing
# from a catalogue.
find_program(ORBET_LRELEASE NAMES lrelease lrelease-qt6
             HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)
find_program(ORBET_LUPDATE NAMES lupdate lupdate-qt6
             HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)

set(ORBET_TRANSLATION_LANGUAGES en)
# Every folder whose sources hold interface texts.
set(ORBET_TRANSLATED_FOLDERS app crypto display favourites navigation options platform plugins tools viewers)
set(ORBET_LUPDATE_ARGUMENTS -silent -I ${CMAKE_SOURCE_DIR} -locations none -extensions cpp,h -source-language ja)

set(ORBET_QM_FILES)
foreach(language ${ORBET_TRANSLATION_LANGUAGES})
  set(ts ${CMAKE_SOURCE_DIR}/resources/translations/orbet_${language}.ts)
  set(qm ${ORBET_PROGRAM_DIR}/translations/orbet_${language}.qm)
  add_custom_command(OUTPUT ${qm}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORBET_PROGRAM_DIR}/translations
    COMMAND ${ORBET_LRELEASE} -silent -removeidentical ${ts} -qm ${qm}
    DEPENDS ${ts}
    COMMENT "Compiling the ${language} catalogue")
  list(APPEND ORBET_QM_FILES ${qm})
  add_custom_target(orbet_update_translations_${language}
    COMMAND ${ORBET_LUPDATE} ${ORBET_LUPDATE_ARGUMENTS} -target-language ${language} -no-obsolete
            ${ORBET_TRANSLATED_FOLDERS} -ts ${ts}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "Bringing orbet_${language}.ts up to date with the sources"
    VERBATIM)
endforeach()
add_custom_target(orbet_translations ALL DEPENDS ${ORBET_QM_FILES})
install(FILES ${ORBET_QM_FILES} DESTINATION ${ORBET_INSTALL_PROGRAM_DIR}/translations)
