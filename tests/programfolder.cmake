# Checks the assembled program folder and that neither a rebuild nor a reinstall overwrites a
# log that holds QSOs. Run by CTest with -DPROGRAM_DIR, -DBUILD_DIR, -DMKDB, -DWORK.
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

# A fresh install brings all five files; a second install keeps the log.
set(prefix "${WORK}/installed")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
foreach(file kx47 data.mdb places.mdb Help/index.htm Help/Kx47_reg_eng.pdf)
    if(NOT EXISTS "${prefix}/${file}")
        message(FATAL_ERROR "The installed folder lacks ${file}")
    endif()
endforeach()
file(WRITE "${prefix}/data.mdb" "the user's log")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
file(READ "${prefix}/data.mdb" kept)
if(NOT rc EQUAL 0 OR NOT kept STREQUAL "the user's log")
    message(FATAL_ERROR "Reinstalling overwrote the log")
endif()
file(REMOVE_RECURSE "${WORK}")
