# debian_changelog.cmake: writes a package's Debian changelog from CHANGELOG.md,
# so that a release is written down once.
#   cmake -DCHANGELOG=CHANGELOG.md -DPACKAGE=name -DCONTACT="Name <address>"
#         -DOUTPUT=changelog -P debian_changelog.cmake
#
# In CHANGELOG.md a release is a "## VERSION" heading, a line
# "Released YYYY-MM-DD." (or "Released YYYY-MM-DD HH:MM UTC.", for a second
# release on one day), a summary paragraph and "### PART" subsections of
# "- " items, whose further lines are indented. Each release becomes an entry
# for unstable, in CHANGELOG.md's order (newest first), signed by CONTACT at
# the release's time (midnight UTC where none is given): the summary is its first item, then every
# item of a subsection, led by "PART: ". Items are re-wrapped to 76 columns;
# Markdown's backticks are dropped.
cmake_minimum_required(VERSION 3.16)

set(width 76)
set(weekdays Sun Mon Tue Wed Thu Fri Sat)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
# Sakamoto's offsets of the months, for the day of the week.
set(month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)

file(READ "${CHANGELOG}" text)
# The text is split into lists at ";". Its own semicolons, and brackets,
# which keep a list from splitting, are held as control characters until
# it is written.
string(ASCII 1 semicolon)
string(ASCII 2 open_bracket)
string(ASCII 3 close_bracket)
string(REPLACE ";" "${semicolon}" text "${text}")
string(REPLACE "[" "${open_bracket}" text "${text}")
string(REPLACE "]" "${close_bracket}" text "${text}")
string(REPLACE "`" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

# Appends item to entry, as "  * " and the words wrapped to width columns.
macro(end_item)
  if(NOT item STREQUAL "")
    string(REGEX MATCHALL "[^ ]+" words "${item}")
    set(wrapped "  *")
    set(first_word TRUE)
    foreach(word IN LISTS words)
      string(LENGTH "${wrapped} ${word}" length)
      if(length GREATER width AND NOT first_word)
        string(APPEND entry "${wrapped}\n")
        set(wrapped "   ")
        set(first_word TRUE)
      endif()
      string(APPEND wrapped " ${word}")
      set(first_word FALSE)
    endforeach()
    string(APPEND entry "${wrapped}\n")
    set(item "")
  endif()
endmacro()

# Appends the release gathered so far to the changelog.
macro(end_release)
  end_item()
  if(NOT version STREQUAL "")
    if(entry STREQUAL "")
      message(FATAL_ERROR "${CHANGELOG}: release ${version} tells no change")
    endif()
    if(NOT date MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])( ([0-9][0-9]:[0-9][0-9]) UTC)?$")
      message(FATAL_ERROR "${CHANGELOG}: release ${version} has no line \"Released YYYY-MM-DD.\"")
    endif()
    set(time "00:00")
    if(CMAKE_MATCH_5)
      set(time ${CMAKE_MATCH_5})
    endif()
    math(EXPR year "${CMAKE_MATCH_1}")
    math(EXPR month "${CMAKE_MATCH_2} - 1")
    set(day ${CMAKE_MATCH_3})
    set(y ${year})
    if(month LESS 2)
      math(EXPR y "${year} - 1")
    endif()
    list(GET month_offsets ${month} offset)
    math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
    list(GET weekdays ${weekday} weekday)
    list(GET months ${month} month)
    if(NOT changelog STREQUAL "")
      string(APPEND changelog "\n")
    endif()
    string(APPEND changelog "${PACKAGE} (${version}) unstable; urgency=medium\n\n${entry}\n"
           " -- ${CONTACT}  ${weekday}, ${day} ${month} ${year} ${time}:00 +0000\n")
  endif()
endmacro()

set(changelog "")
set(version "")
set(item "")
foreach(line IN LISTS lines)
  # The macros match patterns of their own: the line's match is kept first.
  set(match "")
  if(line MATCHES "^(##|###|-|Released) (.*)$")
    set(match "${CMAKE_MATCH_2}")
  endif()
  if(line MATCHES "^## ")
    end_release()
    set(version "${match}")
    set(date "")
    set(entry "")
    set(part "")
  elseif(version STREQUAL "")
    # The title, and anything else above the first release.
  elseif(line MATCHES "^Released .*\\.$")
    string(REGEX REPLACE "\\.$" "" date "${match}")
  elseif(line MATCHES "^### ")
    end_item()
    set(part "${match}: ")
  elseif(line MATCHES "^- ")
    end_item()
    set(item "${part}${match}")
  elseif(line MATCHES "^ *$")
    end_item()
  else()
    string(STRIP "${line}" line)
    string(APPEND item " ${line}")
  endif()
endforeach()
end_release()

string(REPLACE "${semicolon}" ";" changelog "${changelog}")
string(REPLACE "${open_bracket}" "[" changelog "${changelog}")
string(REPLACE "${close_bracket}" "]" changelog "${changelog}")
file(WRITE "${OUTPUT}" "${changelog}")
