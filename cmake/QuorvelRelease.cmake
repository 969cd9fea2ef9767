# What a packager needs besides the executable: one time for every archive
# (SOURCE_DATE_EPOCH), so that two builds of one commit give the same bytes,
# and the Debian changelog and copyright file, made from CHANGELOG.md and
# LICENSE so that nothing is kept by hand twice.

# Days from 1970-01-01 to a date of the Gregorian calendar.
function(quorvel_days_from_civil year month day out)
  if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
  else()
    math(EXPR month "${month} - 3")
  endif()
  math(EXPR era "${year} / 400")
  math(EXPR yoe "${year} - ${era} * 400")
  math(EXPR doy "(153 * ${month} + 2) / 5 + ${day} - 1")
  math(EXPR doe "${yoe} * 365 + ${yoe} / 4 - ${yoe} / 100 + ${doy}")
  math(EXPR days "${era} * 146097 + ${doe} - 719468")
  set(${out} ${days} PARENT_SCOPE)
endfunction()

# The releases of CHANGELOG.md, newest first: QUORVEL_RELEASES lists their
# versions, and QUORVEL_RELEASE_<version>_DATE, _DAYS, _TIME and _ITEMS hold
# each one's date (the year, month and day as written; days since 1970), time
# of day and lines. The heading may give the time in UTC after the date (two
# releases on one day must differ in it), else it is midnight. An item starts
# with "- " and goes on over lines indented by two spaces.
function(quorvel_read_changelog path)
  file(READ ${path} text)
  # A semicolon would split a line in two as a CMake list; it is put back on writing.
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(releases "")
  set(version "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^## ([0-9][0-9.]*) - ([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])( ([0-2][0-9]:[0-5][0-9]) UTC)?$")
      set(version ${CMAKE_MATCH_1})
      set(date ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
      set(time 00:00)
      if(CMAKE_MATCH_6)
        set(time ${CMAKE_MATCH_6})
      endif()
      set(QUORVEL_RELEASE_${version}_TIME ${time}:00 PARENT_SCOPE)
      list(APPEND releases ${version})
      set(QUORVEL_RELEASE_${version}_DATE ${date} PARENT_SCOPE)
      # Leading zeros would make math() read the month and day as octal.
      list(TRANSFORM date REPLACE "^0" "")
      quorvel_days_from_civil(${date} days)
      set(QUORVEL_RELEASE_${version}_DAYS ${days} PARENT_SCOPE)
    elseif(version AND line MATCHES "^(- |  )")
      string(REPLACE "<semicolon>" "\\;" line "${line}")
      list(APPEND items_${version} "${line}")
      set(QUORVEL_RELEASE_${version}_ITEMS "${items_${version}}" PARENT_SCOPE)
    elseif(line MATCHES "^## ")
      message(FATAL_ERROR "${path}: a release heading must read '## VERSION - YYYY-MM-DD' or '## VERSION - YYYY-MM-DD HH:MM UTC': ${line}")
    endif()
  endforeach()
  if(NOT releases)
    message(FATAL_ERROR "${path} names no release")
  endif()
  set(QUORVEL_RELEASES ${releases} PARENT_SCOPE)
endfunction()

quorvel_read_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/LICENSE)
list(GET QUORVEL_RELEASES 0 newest)
if(NOT newest STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "CHANGELOG.md has no entry for ${PROJECT_VERSION} at its top")
endif()

# The time of every file in every archive: SOURCE_DATE_EPOCH from the
# environment, else the time of the last commit, else (a source tree without
# .git) the date and time of the newest release.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(QUORVEL_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  set(QUORVEL_SOURCE_DATE_EPOCH "")
  find_package(Git QUIET)
  if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE QUORVEL_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT QUORVEL_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    string(REGEX MATCH "^0?([0-9]+):0?([0-9]+)" hour_minute ${QUORVEL_RELEASE_${newest}_TIME})
    math(EXPR QUORVEL_SOURCE_DATE_EPOCH
         "${QUORVEL_RELEASE_${newest}_DAYS} * 86400 + ${CMAKE_MATCH_1} * 3600 + ${CMAKE_MATCH_2} * 60")
  endif()
endif()
message(STATUS "SOURCE_DATE_EPOCH for the packages: ${QUORVEL_SOURCE_DATE_EPOCH}")

# CHANGELOG.md in Debian's changelog format; dates as RFC 2822, in UTC.
function(quorvel_write_debian_changelog path package maintainer)
  set(weekdays Thu Fri Sat Sun Mon Tue Wed)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(text "")
  foreach(version IN LISTS QUORVEL_RELEASES)
    set(days ${QUORVEL_RELEASE_${version}_DAYS})
    math(EXPR weekday "${days} % 7")
    list(GET weekdays ${weekday} weekday)
    string(APPEND text "${package} (${version}) unstable; urgency=medium\n\n")
    foreach(item IN LISTS QUORVEL_RELEASE_${version}_ITEMS)
      string(REGEX REPLACE "^- " "  * " item "${item}")
      string(REGEX REPLACE "^  ([^*])" "    \\1" item "${item}")
      string(APPEND text "${item}\n")
    endforeach()
    list(GET QUORVEL_RELEASE_${version}_DATE 0 year)
    list(GET QUORVEL_RELEASE_${version}_DATE 1 month)
    list(GET QUORVEL_RELEASE_${version}_DATE 2 day)
    string(REGEX REPLACE "^0" "" monthIndex ${month})
    math(EXPR monthIndex "${monthIndex} - 1")
    list(GET months ${monthIndex} monthName)
    string(APPEND text "\n -- ${maintainer}  ${weekday}, ${day} ${monthName} ${year} ${QUORVEL_RELEASE_${version}_TIME} +0000\n\n")
  endforeach()
  string(REGEX REPLACE "\n\n$" "\n" text "${text}")
  file(WRITE ${path} "${text}")
endfunction()

# LICENSE as a Debian machine-readable copyright file. The MIT licence is
# the one that Debian calls Expat.
function(quorvel_write_debian_copyright path package contact)
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
  if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)\n")
    message(FATAL_ERROR "LICENSE has no copyright line")
  endif()
  set(holder "${CMAKE_MATCH_1}")
  string(FIND "${license}" "Permission is hereby granted" start)
  string(SUBSTRING "${license}" ${start} -1 terms)
  string(STRIP "${terms}" terms)
  string(REPLACE "\n\n" "\n.\n" terms "${terms}")
  string(REPLACE "\n" "\n " terms "${terms}")
  file(WRITE ${path}
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: ${package}\n"
       "Upstream-Contact: ${contact}\n"
       "\n"
       "Files: *\n"
       "Copyright: ${holder}\n"
       "License: Expat\n"
       " ${terms}\n")
endfunction()
