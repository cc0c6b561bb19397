# debian_changelog_test.cmake: runs debian_changelog.cmake on CHANGELOG.md
# texts and compares the whole Debian changelog written, or the message of a
# refusal, with the text expected. Run by ctest as debian_changelog:
#   cmake -P debian_changelog_test.cmake
set(generator ${CMAKE_CURRENT_LIST_DIR}/debian_changelog.cmake)
set(work ${CMAKE_CURRENT_BINARY_DIR}/debian_changelog_test)
file(REMOVE_RECURSE ${work})
set(failures 0)

# expect_changelog(NAME MARKDOWN EXPECTED): debian_changelog.cmake writes
# EXPECTED from MARKDOWN or, where EXPECTED begins with "refused: ", fails with
# the rest of EXPECTED as its message.
function(expect_changelog name markdown expected)
  file(WRITE ${work}/${name}.md "${markdown}")
  set(command ${CMAKE_COMMAND} -DCHANGELOG=${name}.md -DPACKAGE=pmz "-DCONTACT=Us <us@example.org>"
      -DOUTPUT=${name}.changelog -P ${generator})
  execute_process(COMMAND ${command} WORKING_DIRECTORY ${work} RESULT_VARIABLE status ERROR_VARIABLE error)
  if(status EQUAL 0)
    file(READ ${work}/${name}.changelog actual)
  elseif(error MATCHES "\\(message\\):\n  ([^\n]*)\n")
    set(actual "refused: ${CMAKE_MATCH_1}")
  else()
    set(actual "status ${status}: ${error}")
  endif()
  if(NOT actual STREQUAL expected)
    string(REPLACE ";" " " command "${command}")
    message("FAIL ${name}\n  ${command}\nexpected:\n${expected}<EOF>\nactual:\n${actual}<EOF>")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

expect_changelog(two_releases [=[# Changelog

## 1.1.0

Released 2026-12-08 12:30 UTC.

A summary; of two lines, with `code`
and [brackets].

### pixtrel

- Short.
- A long item that goes on and on, over two lines of CHANGELOG.md and more than
  two of the Debian changelog, where each line but the first is indented by four
  spaces.

### mobrick

### Building and testing

- An_item_of_one_word_longer_than_the_whole_line_of_seventy-six_columns_stays_whole,
  and its next word goes on the next line.

## 1.0.0

Released 2024-02-29.

- First.
]=] [=[pmz (1.1.0) unstable; urgency=medium

  * A summary; of two lines, with code and [brackets].
  * pixtrel: Short.
  * pixtrel: A long item that goes on and on, over two lines of CHANGELOG.md
    and more than two of the Debian changelog, where each line but the first
    is indented by four spaces.
  * Building and testing:
    An_item_of_one_word_longer_than_the_whole_line_of_seventy-six_columns_stays_whole,
    and its next word goes on the next line.

 -- Us <us@example.org>  Tue, 08 Dec 2026 12:30:00 +0000

pmz (1.0.0) unstable; urgency=medium

  * First.

 -- Us <us@example.org>  Thu, 29 Feb 2024 00:00:00 +0000
]=])

expect_changelog(no_date [=[## 1.0.0

- First.
]=] [=[refused: no_date.md: release 1.0.0 has no line "Released YYYY-MM-DD."]=])

expect_changelog(no_change [=[## 1.0.1

Released 2025-01-01.

### pixtrel

## 1.0.0
]=] [=[refused: no_change.md: release 1.0.1 tells no change]=])

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
