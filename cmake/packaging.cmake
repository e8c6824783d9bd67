# The Debian package: `cpack -G DEB` in the build folder makes torvel_<version>_<arch>.deb of
# what `cmake --install` installs, below /usr. Its library dependencies are read off the
# executables by dpkg-shlibdeps; the desktop, menu, file-type and icon caches are refreshed by the
# triggers of the packages that own them, so the package needs no scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torvel)
set(CPACK_PACKAGE_VENDOR "Orvik Enterprises")
set(CPACK_PACKAGE_CONTACT "Orvik Enterprises <torvel@orvik.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for short looping animations made of pictures")
set(CPACK_PACKAGE_DESCRIPTION
    "Torvel makes short looping animations from equally sized pictures, the cells, pasted from\n"
    "the clipboard, cut from an image strip or dropped onto its window as files. It plays them\n"
    "still or at 1 to 20 frames per second (transparent, flipped, mirrored, over a background\n"
    "colour, with guide lines), edits and reorders the cells with undo, saves them as .san\n"
    "files and exports them as animated GIF, WebP and PNG files. torvel-cli packs,\n"
    "unpacks and exports animations from the command line.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# The program's own way of writing its version: 1.00.478.
string(LENGTH "${PROJECT_VERSION_MINOR}" minor_digits)
set(minor "${PROJECT_VERSION_MINOR}")
if(minor_digits EQUAL 1)
  set(minor "0${minor}")
endif()
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${minor}.${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://torvel.example/")
# Torvel is free software under the GNU General Public License, version 3 or later (LICENSE);
# the package carries its machine-readable copyright file in the documentation folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The help pages open in the web browser and Edit > View Folder in the file manager; Qt's own
# translations give the file dialogs and key names in the desktop's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland, qt6-translations-l10n")
include(CPack)
