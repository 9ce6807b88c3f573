# Checks the assembled program folder, the installed layout, and that neither a rebuild nor an
# install overwrites or ships a log that holds QSOs. Run by CTest with -DPROGRAM_DIR,
# -DBUILD_DIR, -DMKDB, -DEMPTY_LOG, -DWORK.
foreach(file kx47 data.mdb places.mdb Help/index.htm Help/Kx47_reg_eng.pdf)
    if(NOT EXISTS "${PROGRAM_DIR}/${file}")
        message(FATAL_ERROR "The program folder lacks ${file}")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# The log maker leaves an existing file alone.
file(WRITE "${WORK}/data.mdb" "a log that holds QSOs")
execute_process(COMMAND "${MKDB}" log "${WORK}/data.mdb" RESULT_VARIABLE rc)
file(READ "${WORK}/data.mdb" kept)
if(NOT rc EQUAL 0 OR NOT kept STREQUAL "a log that holds QSOs")
    message(FATAL_ERROR "Making the log overwrote an existing one")
endif()

# A fresh install lays out exactly these files (and any further help pages): the program in
# bin, its databases and help in share/kx47, and what the desktop needs to show it.
set(prefix "${WORK}/installed")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
set(expected
    bin/kx47
    share/applications/kx47.desktop
    share/doc/kx47/changelog.gz
    share/doc/kx47/copyright
    share/icons/hicolor/scalable/apps/kx47.svg
    share/kx47/data.mdb
    share/kx47/places.mdb
    share/man/man1/kx47.1.gz
    share/metainfo/org.example.kx47.metainfo.xml
    share/mime/packages/kx47.xml)
set(icon_sizes 16 22 24 32 48 64 128 256)
foreach(size ${icon_sizes})
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/kx47.png)
endforeach()
list(SORT expected)
file(GLOB_RECURSE installed RELATIVE "${prefix}" "${prefix}/*")
foreach(file index.htm Kx47_reg_eng.pdf)
    if(NOT EXISTS "${prefix}/share/kx47/Help/${file}")
        message(FATAL_ERROR "The install lacks share/kx47/Help/${file}")
    endif()
endforeach()
list(FILTER installed EXCLUDE REGEX "^share/kx47/Help/")
list(SORT installed)
if(NOT installed STREQUAL expected)
    string(REPLACE ";" "\n  " installed_lines "${installed}")
    message(FATAL_ERROR "The install laid out:\n  ${installed_lines}")
endif()

# Each icon is as large as its folder says (width and height from the PNG header).
foreach(size ${icon_sizes})
    file(READ "${prefix}/share/icons/hicolor/${size}x${size}/apps/kx47.png" header
         OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING "${header}" 0 8 width_hex)
    string(SUBSTRING "${header}" 8 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT width EQUAL size OR NOT height EQUAL size)
        message(FATAL_ERROR "The ${size} px icon is ${width} x ${height}")
    endif()
endforeach()

# The installed log is the empty one, never the build's own.
file(SHA256 "${prefix}/share/kx47/data.mdb" installed_log)
file(SHA256 "${EMPTY_LOG}" empty_log)
if(NOT installed_log STREQUAL empty_log)
    message(FATAL_ERROR "The installed data.mdb is not the empty log")
endif()

# A second install keeps a log that is already there.
file(WRITE "${prefix}/share/kx47/data.mdb" "the user's log")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
file(READ "${prefix}/share/kx47/data.mdb" kept)
if(NOT rc EQUAL 0 OR NOT kept STREQUAL "the user's log")
    message(FATAL_ERROR "Reinstalling overwrote the log")
endif()
file(REMOVE_RECURSE "${WORK}")
