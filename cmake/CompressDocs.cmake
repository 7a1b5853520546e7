# Run by CPack before it packs: Debian keeps man pages and changelogs compressed, without a time stamp
# in the file.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*")
list(FILTER pages INCLUDE REGEX "/share/(man/man[1-9]/[^/]+\\.[1-9]|doc/[^/]+/changelog)$")
foreach(page ${pages})
    execute_process(COMMAND gzip -9 -n -f "${page}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "cannot compress ${page}")
    endif()
endforeach()
