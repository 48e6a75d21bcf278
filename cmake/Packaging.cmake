# The Debian package (cpack -G DEB, run by scripts/package): the programs,
# their menu entry, icons and manual pages, and the documents Debian wants.
include(GNUInstallDirs)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(packed ${PROJECT_BINARY_DIR}/packaging)

# Debian wants these gzipped, without a time stamp so that builds repeat.
configure_file(${packaging}/debian/changelog.in ${packed}/changelog @ONLY)
configure_file(${packaging}/man/kestrel.1 ${packed}/kestrel.1 COPYONLY)
configure_file(${packaging}/man/kestrel-cli.1 ${packed}/kestrel-cli.1 COPYONLY)
foreach(file IN ITEMS changelog kestrel.1 kestrel-cli.1)
  execute_process(COMMAND gzip -9nf ${packed}/${file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${packed}/kestrel.1.gz ${packed}/kestrel-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${packaging}/debian/copyright ${packed}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial-cable file transfer for 文曲星 handhelds / 文曲星文件传输")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
KESTREL moves files between a PC and a 文曲星 handheld over a serial cable,
converting on the way: plain text gains or loses the handheld's text header,
application images are decoded with a substitution table you supply, and
packages are unpacked and sent entry by entry. It has a dialog (kestrel) and
a command line (kestrel-cli), and a virtual handheld built in, to try it
without one.

KESTREL 通过串口线在电脑和文曲星之间传送文件，并在传送时转换：
文本文件加上或去掉文曲星的文本文件头，应用程序映像用您提供的
替换表解码，程序包拆开后逐个文件发送。有对话框程序（kestrel）
和命令行程序（kestrel-cli），并内置虚拟文曲星，没有文曲星也能试用。]])
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "KESTREL developers <kestrel@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialog's file picker takes its texts from Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
