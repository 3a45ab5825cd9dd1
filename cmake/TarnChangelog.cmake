# A release is made by writing its entry at the top of packaging/changelog:
# that entry's version becomes the project's (TARN_VERSION, for project()),
# and its day (TARN_RELEASE_DATE, YYYY-MM-DD) is the release date the
# metainfo and the manual page show. Nothing else in the tree names either.
set(tarnChangelog ${CMAKE_CURRENT_LIST_DIR}/../packaging/changelog)
cmake_path(NORMAL_PATH tarnChangelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tarnChangelog})

file(STRINGS ${tarnChangelog} tarnEntryHead LIMIT_COUNT 1)
# CMake's project() takes up to four numbers, so the Debian version is held to them.
if(NOT tarnEntryHead MATCHES "^tarnwick \\(([0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?)\\) ")
    message(FATAL_ERROR "${tarnChangelog}: the latest entry must begin "
        "\"tarnwick (VERSION) \" with a VERSION of up to four numbers, such as 0.2.0")
endif()
set(TARN_VERSION ${CMAKE_MATCH_1})

file(STRINGS ${tarnChangelog} tarnEntryTrailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT tarnEntryTrailer MATCHES
        ">  [A-Z][a-z][a-z], ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "${tarnChangelog}: the latest entry must end with a line "
        "\" -- NAME <MAIL>  DATE\", DATE as `date -R` writes it")
endif()
set(tarnDay ${CMAKE_MATCH_1})
set(tarnMonthName ${CMAKE_MATCH_2})
set(tarnYear ${CMAKE_MATCH_3})
set(tarnMonthNames Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND tarnMonthNames ${tarnMonthName} tarnMonth)
if(tarnMonth EQUAL -1)
    message(FATAL_ERROR "${tarnChangelog}: \"${tarnMonthName}\" is no month")
endif()
math(EXPR tarnMonth "${tarnMonth} + 1")
if(tarnMonth LESS 10)
    set(tarnMonth 0${tarnMonth})
endif()
if(tarnDay MATCHES "^[0-9]$")
    set(tarnDay 0${tarnDay})
endif()
set(TARN_RELEASE_DATE ${tarnYear}-${tarnMonth}-${tarnDay})
