# What an installed copy holds beside the programs, and the Debian package that
# `cpack -G DEB` makes of it (scripts/package.sh builds it).
set(MISSIVO_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)

# The simulated phone, installed under a name of its own. A renamed copy is not
# stripped by `install(TARGETS)`, so it is stripped here when the install strips
# (cpack with CPACK_STRIP_FILES, `cmake --install --strip`).
install(PROGRAMS $<TARGET_FILE:phonesim> DESTINATION ${CMAKE_INSTALL_BINDIR}
  RENAME missivo-phonesim)
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\"
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/missivo-phonesim\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()")

# Manual pages and the Debian changelog go in gzip-compressed (-n: no name or
# time stamp, so that two builds give the same bytes).
set(missivo_compressed)
foreach(source missivo.1 missivo-cli.1 missivo-phonesim.1 changelog)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${MISSIVO_PACKAGING}/${source} > ${compressed}
    DEPENDS ${MISSIVO_PACKAGING}/${source}
    VERBATIM)
  list(APPEND missivo_compressed ${compressed})
endforeach()
add_custom_target(missivo_packaging_files ALL DEPENDS ${missivo_compressed})
install(FILES
  ${CMAKE_BINARY_DIR}/packaging/missivo.1.gz
  ${CMAKE_BINARY_DIR}/packaging/missivo-cli.1.gz
  ${CMAKE_BINARY_DIR}/packaging/missivo-phonesim.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/missivo RENAME changelog.gz)
install(FILES ${MISSIVO_PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/missivo)
install(FILES ${MISSIVO_PACKAGING}/missivo-cli.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME missivo-cli)
install(FILES ${MISSIVO_PACKAGING}/io.github.missivo.Missivo.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# cpack installs without first building every target of the folder (tests,
# benchmarks): scripts/package.sh builds the programs it packs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME missivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Missivo developers <missivo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps the SMS messages and the phonebook of a phone safe")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Missivo reads the SMS messages and the phonebook of a mobile phone over its
serial (USB modem) port with AT commands and keeps them in an encrypted
archive. It shows senders by contact name, exports through editable templates
and imports two older formats. missivo-cli does the same from scripts and
cron, and missivo-phonesim is a simulated phone to try it without one.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The skins' pictures are SVG, drawn by a Qt plug-in that no program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# Messages and contact names carry emoji and other scripts: a colour emoji
# font is recommended, the large CJK fonts only suggested.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-color-emoji")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_SOURCE_DIR}/dist)
include(CPack)
