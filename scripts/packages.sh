# The Debian packages the program needs to build and run.
BUILD_PACKAGES=(qt6-base-dev qt6-svg-dev qtkeychain-qt6-dev libqt6sql6-sqlite libsqlite3-dev libgl-dev cmake g++ make ccache mold fonts-liberation2)
# Starting the program where there is no display.
RUN_PACKAGES=(xvfb xauth)
# Making the Debian package: dpkg-shlibdeps finds the libraries the program links.
PACKAGE_PACKAGES=(dpkg-dev file)
# Ninja, which the test build uses; reading printed PDFs back in the tests; checking the package
# and its desktop files; a second reader of the exported ADIF files (Python).
TEST_PACKAGES=(ninja-build poppler-utils clang-format xvfb xauth openbox python3 "${PACKAGE_PACKAGES[@]}"
    desktop-file-utils appstream shared-mime-info lintian)
