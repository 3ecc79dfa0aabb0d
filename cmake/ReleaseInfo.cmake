# The version and the release date are written in one place, debian/changelog: its first entry
# names the version, and the date of that entry's trailer line is the release date, which the
# AppStream metainfo and the manual pages are given (as YYYY-MM-DD). Included before project(),
# so that the project's version is this one.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../debian/changelog changelog_lines)
list(GET changelog_lines 0 first_line)
if(NOT first_line MATCHES "^morvantide \\(([0-9]+\\.[0-9]+\\.[0-9]+)\\) ")
    message(FATAL_ERROR "debian/changelog does not begin with a morvantide version: ${first_line}")
endif()
set(MORVANTIDE_VERSION ${CMAKE_MATCH_1})

set(MORVANTIDE_RELEASE_DATE "")
foreach(line IN LISTS changelog_lines)
    if(line MATCHES "^ -- .*>  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
        set(day ${CMAKE_MATCH_1})
        set(year ${CMAKE_MATCH_3})
        set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
        list(FIND months ${CMAKE_MATCH_2} month)
        math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
        if(month LESS 10)
            set(month 0${month})
        endif()
        set(MORVANTIDE_RELEASE_DATE ${year}-${month}-${day})
        break()
    endif()
endforeach()
if(NOT MORVANTIDE_RELEASE_DATE)
    message(FATAL_ERROR "debian/changelog has no trailer line with a date")
endif()
