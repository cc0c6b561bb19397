# Files installed compressed with `gzip -9n`, which stores neither the file's
# name nor its time, so that the same file always gives the same bytes. The
# files in the source tree stay plain.
find_program(GZIP_PROGRAM gzip)
if(NOT GZIP_PROGRAM)
  message(FATAL_ERROR "gzip is needed to compress the man pages and the Debian changelog")
endif()

# install_gzipped(SOURCE NAME DESTINATION): installs SOURCE (a path relative
# to the calling folder, or a file that a custom command of that folder
# makes) as NAME.gz in DESTINATION.
function(install_gzipped source name destination)
  get_filename_component(source ${source} ABSOLUTE)
  set(plain ${CMAKE_CURRENT_BINARY_DIR}/${name})
  add_custom_command(OUTPUT ${plain}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND ${GZIP_PROGRAM} -9nf ${plain}
    DEPENDS ${source}
    VERBATIM)
  string(MAKE_C_IDENTIFIER "gzip_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${plain}.gz)
  install(FILES ${plain}.gz DESTINATION ${destination})
endfunction()

# install_man_page(PAGE): installs the calling folder's man page PAGE (such as
# pixtrel.1), compressed, into the section folder that its suffix names.
function(install_man_page page)
  string(REGEX REPLACE "^.*\\.([0-9])$" "\\1" section ${page})
  install_gzipped(${page} ${page} ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()

# install_completions(PROGRAM): installs the calling folder's completions of
# PROGRAM, completion/PROGRAM.bash, completion/_PROGRAM and
# completion/PROGRAM.fish, where bash-completion, zsh and fish look for them.
function(install_completions program)
  install(FILES completion/${program}.bash RENAME ${program}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  install(FILES completion/_${program} DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/site-functions)
  install(FILES completion/${program}.fish DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
endfunction()
