# The Debian package: `cpack -G DEB` in the build folder (scripts/package does
# it). The libraries the binaries link are found by dpkg-shlibdeps; what the
# program loads only at run time is named here.
set(CPACK_PACKAGE_NAME orbet)
set(CPACK_PACKAGE_VENDOR "Orbet")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orbet maintainers <maintainers@users.noreply.c-seed-be54ac27.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop file viewer for pictures, text, web pages and media")
set(CPACK_PACKAGE_DESCRIPTION "Orbet's main window shows a tree of volumes and folders, the files of the
current folder filtered by file type, and the selected file at once in the
pane that suits it: pictures, plain and rich text, web pages, audio and
video. Around that it offers full-screen and slideshow viewers, image
decoder plug-ins (PNG, WebP and TIFF are included), favourite folders,
user-defined file filters and light file tools. The user interface is in
Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Run-time pieces no binary links: the web pane's renderer process, the
# media pane's GStreamer decoders (MPEG-1 and MP3 in ugly and bad, MIDI
# through fluidsynth with a General MIDI sound font), the Japanese fonts of
# every caption and Qt's own Japanese texts for the standard buttons and
# dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6webenginecore6-bin, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-libav, fluid-soundfont-gm, fonts-noto-cjk, qt6-translations-l10n")
# Opening files and folders with the desktop's programs goes through xdg-open;
# the user's Windows plug-ins run under Wine, which most users never need.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, wine, wine32")

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
