# Read by cpack before it packs: a package must not send its programs looking into the
# source tree of the machine that built it.
if(NOT CPACK_TILVANE_DEVELOPER_DATA_DIR STREQUAL "")
    message(FATAL_ERROR
        "This build looks for its data in ${CPACK_TILVANE_DEVELOPER_DATA_DIR} first. "
        "Configure the build to package with -DTILVANE_DEVELOPER_DATA_DIR= (empty), "
        "see README.md.")
endif()
